#pragma once

#include "qt_part_interface.h"

#include <QDialog>

#include <array>

class QSlider;

// The modeless "Image Format" dialog: four sliders for the picture
// controls of one capture record, each change applied to the card at once.
class FormatDialog : public QDialog {
    Q_OBJECT
public:
    FormatDialog(QWidget *owner, ZulConfig *config, const zul::CoreCalls &core);

    ZulConfig *config() const { return config_; }

private:
    struct Control {
        QSlider *slider;
        int32_t ZulConfig::*value;
    };

    void placeControls();
    void setUpSliders();
    void scrolled(const Control &control, int action);
    void apply();
    void autoCrop();
    void reset();

    ZulConfig *config_;
    const zul::CoreCalls &core_;
    std::array<Control, 4> controls_{};
};
