#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

class ExposurePanel;
class PictureBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class UpDown;
class Workstation;

// The preview window "Preview": the live picture the main window's timer
// keeps drawing, and the intensity check that freezes it and measures it.
// It is made once and shown and hidden by the preview command; closing it
// ends the preview.
class FrmPrev : public QWidget {
    Q_OBJECT
public:
    // `setPrevCaption` sets the caption of the main window's preview button.
    FrmPrev(Workstation &workstation, std::function<void(const QString &)> setPrevCaption, QWidget *parent = nullptr);

    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void cmdIntensity_Click();
    void Option1_Click();
    void Option2_Click();
    // Measures the frozen picture and shows the figures; pixels above the
    // threshold turn red on Picture1.
    void IntensityStats(const QImage &bitmap, int width, int height);

    // A live frame has just been drawn on Picture1 over `drawn`: the
    // exposure panel counts it, then the crop frame goes on top.
    void liveFrameDrawn(const QRect &drawn);

    int16_t intensityMode() const { return intensityMode_; }
    int16_t intensityThreshold() const { return intensityThreshold_; }
    int16_t areaOption() const { return areaOption_; }

    QRadioButton *Option1;
    QRadioButton *Option2;
    QPushButton *cmdIntensity;
    QLabel *Label1; // the maximum
    QLabel *Label2; // the minimum
    QLabel *Label3; // the mean
    QLineEdit *Text1;
    UpDown *UpDown1;
    PictureBox *Picture1;
    ExposurePanel *exposure;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The threshold the box holds now, or the last one when it holds no number.
    int16_t thresholdShown() const;

    Workstation &workstation_;
    std::function<void(const QString &)> setPrevCaption_;
    int16_t intensityMode_ = 0;
    int16_t intensityThreshold_ = 240;
    int16_t areaOption_ = 0;
};
