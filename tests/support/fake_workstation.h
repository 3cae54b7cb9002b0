#pragma once

#include "alignment/frm_align.h"
#include "fake_card_library.h"
#include "platform/card_image.h"
#include "platform/picture_box.h"
#include "platform/single_window.h"
#include "scripted_operator.h"
#include "workbench/app_state.h"
#include "workbench/file_naming.h"
#include "workbench/frm_img.h"
#include "workbench/workstation.h"

#include <QMdiArea>
#include <QTimer>
#include <array>
#include <memory>

// The least a feature's window or sequence needs around it: the shared
// state, the naming, a scripted operator and a fake card, option boxes and
// status panels as plain values, hidden image windows and work pictures.
// The alignment command opens the real alignment window.
class FakeWorkstation : public Workstation {
public:
    FakeWorkstation(AppState &state, ScriptedOperator &op, CardLibrary &card)
        : state_(state), op_(op), card_(card),
          naming_(op, [this](const QString &name) { panels[static_cast<int>(StatusPanel::FileName)] = name; })
    {
        area.resize(1000, 700);
        for (auto &picture : pictures)
            picture = std::make_unique<PictureBox>();
    }
    ~FakeWorkstation() override;

    AppState &state() override { return state_; }
    FileNaming &naming() override { return naming_; }
    Operator &op() override { return op_; }
    CardLibrary &card() override { return card_; }
    ZulConfig &liveConfig() override { return config; }
    ZulVideoWindow &currentWindow() override { return window; }
    CardImage &liveImage() override { return live; }
    QTimer &liveTimer() override { return timer; }
    bool optionSet(OptionBox box) const override { return options[static_cast<int>(box)]; }
    void setStatusPanel(StatusPanel panel, const QString &text) override { panels[static_cast<int>(panel)] = text; }
    QString panel(StatusPanel which) const { return panels[static_cast<int>(which)]; }
    FrmImg *imageForm(int index) override
    {
        if (!forms[index]) {
            forms[index] = new FrmImg;
            area.addSubWindow(forms[index]);
            forms[index]->hide();
        }
        return forms[index];
    }
    PictureBox &workPicture(WorkPicture picture) override { return *pictures[static_cast<int>(picture) - 1]; }
    QSize pictureAreaSize() const override { return area.size(); }
    void cmdPrev_Click() override { ++previewClicks; }
    void cmdAlign_Click() override;

    frmAlign *alignWindow() const { return alignment.get(); }
    void setOption(OptionBox box, bool set) { options[static_cast<int>(box)] = set; }

    std::array<QString, 10> panels;
    std::array<bool, 6> options{};
    int previewClicks = 0;
    ZulConfig config{};
    ZulVideoWindow window{};
    CardImage live;
    QTimer timer;
    QMdiArea area;
    std::array<FrmImg *, 7> forms{};
    std::array<std::unique_ptr<PictureBox>, 3> pictures;
    SingleWindow<frmAlign> alignment;

private:
    AppState &state_;
    ScriptedOperator &op_;
    CardLibrary &card_;
    FileNaming naming_;
};
