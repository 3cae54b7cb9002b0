#include "capture_ini.h"

#include "platform/bmp_file.h"

#include <QSaveFile>
#include <QStringList>

FileResult WriteCaptureIni(const QString &path, int16_t xOffsetPAL, int16_t xActivePAL, int16_t xPixelsPAL,
                           int16_t yOffsetPAL, int16_t yActivePAL, int16_t yPixelsPAL)
{
    const QStringList lines = {
        "[Default]",
        "SignalType=0",
        "InputChannel=0",
        "Brightness=0",
        "Contrast=0",
        "Saturation=0",
        "Hue=0",
        "Gamma=1#",
        "xOffsetPAL=" + QString::number(xOffsetPAL),
        "xActivePAL=" + QString::number(xActivePAL),
        "xPixelsPAL=" + QString::number(xPixelsPAL),
        "yOffsetPAL=" + QString::number(yOffsetPAL),
        "yActivePAL=" + QString::number(yActivePAL),
        "yPixelsPAL=" + QString::number(yPixelsPAL),
        "interlacedPAL=0",
        "xOffsetNTSC=204",
        "xActiveNTSC=612",
        "xPixelsNTSC=512",
        "yOffsetNTSC=60",
        "yActiveNTSC=512",
        "yPixelsNTSC=512",
        "interlacedNTSC=1",
        "outputFormat=7",
        "ExtTrig=0",
        "Flash=0",
        "ExtTrigEnable=0",
        "FlashEnable=0",
        "Gray16Enable=1",
        "Gray256Enable=1",
        "Color256Enable=1",
        "Color16MEnable=1",
        "Color32kEnable=1",
        "Color64kEnable=1",
        "Color32bitEnable=1",
    };
    // The settings file is shared with the capture library's profile reader,
    // which expects the CR LF line ends the file always had.
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + "\r\n";

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return {cannotWriteText(path, file.errorString())};
    return {};
}
