#pragma once

#include "platform/card_library.h"
#include "qt_printers.h"

#include <QStringList>
#include <map>

// Records every call by name and answers with scripted result codes
// (0 unless set), so tests can check the order of card calls.
class FakeCardLibrary : public CardLibrary {
public:
    QStringList calls;
    std::map<QString, int> results;

    int result(const QString &name)
    {
        calls << name;
        const auto found = results.find(name);
        return found == results.end() ? 0 : found->second;
    }

    int init() override { return result("init"); }
    int closedown(int flag) override { return result(QStringLiteral("closedown(%1)").arg(flag)); }
    int testSignal(ZulConfig *config) override
    {
        config->videoStandard = 1;
        return result("testSignal");
    }
    int defaultConfig(ZulConfig *) override { return result("defaultConfig"); }
    int readIniFile(const QString &, const QString &section, ZulConfig *) override
    {
        return result("readIniFile " + section);
    }
    int saveIniFile(const QString &, const QString &section, const ZulConfig *) override
    {
        return result("saveIniFile " + section);
    }
    int prepare(ZulConfig *, int force) override { return result(QStringLiteral("prepare(%1)").arg(force)); }
    int defaultPalette(ZulSurface *, int gray) override { return result(QStringLiteral("defaultPalette(%1)").arg(gray)); }
    int releasePalette() override { return result("releasePalette"); }
    int snap(ZulConfig *) override { return result("snap"); }
    int readoutDIB(ZulConfig *, ZulHandle *) override { return result("readoutDIB"); }
    int snapAverageDIB(ZulConfig *, ZulHandle *, int, int) override { return result("snapAverageDIB"); }
    int drawDIB(ZulSurface *, ZulHandle, int, int, int, int) override { return result("drawDIB"); }
    QString errorString(int) override { return QString(); }
    void globalFree(ZulHandle) override { calls << "globalFree"; }
};
