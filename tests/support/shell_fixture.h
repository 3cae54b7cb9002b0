#pragma once

#include "fake_card_library.h"
#include "platform/program_launcher.h"
#include "platform/settings_store.h"
#include "scripted_operator.h"
#include "shell/mdi_form1.h"
#include "temp_settings.h"
#include "workbench/app_state.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>

class RecordingLauncher : public ProgramLauncher {
public:
    QStringList started;
    bool succeed = true;
    bool start(const QString &commandLine, QString *error) override
    {
        started << commandLine;
        if (!succeed && error)
            *error = QStringLiteral("no such program");
        return succeed;
    }
};

// A main window over a fresh options store, a scripted operator and a fake
// card; options can be stored before the window is loaded.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { savedDirectory_ = QDir::currentPath(); }
    void TearDown() override
    {
        window.reset();
        QDir::setCurrent(savedDirectory_);
    }

    void store(const QString &section, const QString &key, const QString &value)
    {
        SettingsStore().setText(section, key, value);
    }

    MDIForm1 &load(bool startWithCard = false)
    {
        settings = std::make_unique<SettingsStore>();
        window = std::make_unique<MDIForm1>(state, op, *settings, card, launcher);
        window->Form_Load(startWithCard);
        return *window;
    }

    TempSettings temp;
    AppState state;
    ScriptedOperator op;
    FakeCardLibrary card;
    RecordingLauncher launcher;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<MDIForm1> window;

private:
    QString savedDirectory_;
};
