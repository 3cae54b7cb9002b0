#include "fake_workstation.h"
#include "masking/frm_back.h"
#include "platform/bmp_file.h"
#include "platform/picture_box.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// The hint's letters, light on the dark picture.
int lightPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) > 160;
    return count;
}
} // namespace

TEST(MaskEditorHint, AnEmptyPictureSaysWhatToDoUntilASixIsRead)
{
    AppState state;
    state.applyGeometry();
    ScriptedOperator op;
    FakeCardLibrary card;
    FakeWorkstation ws{state, op, card};
    frmBack editor(ws);
    PictureBox *picture = editor.Picture1;
    picture->resize(picture->sizeHint());

    const QString hint = "Read a .SIX file or compose one first";
    EXPECT_EQ(picture->hint(), hint);
    EXPECT_EQ(picture->toolTip(), hint);
    EXPECT_EQ(picture->accessibleDescription(), hint);
    // On the screen only: the image the editor works on stays black.
    QImage black(picture->image().size(), QImage::Format_RGB32);
    black.fill(Qt::black);
    EXPECT_EQ(picture->image(), black);
    EXPECT_GT(lightPixels(picture->grab().toImage()), 50);

    QImage six(16, 8, QImage::Format_RGB32);
    six.fill(qRgb(100, 150, 200));
    QTemporaryDir dir;
    QFile file(dir.filePath("run.six"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(encodeBmp24(six));
    file.close();
    op.files = {file.fileName()};
    editor.cmdReadSix_Click();
    ASSERT_FALSE(state.maskImage.isNull());
    EXPECT_EQ(picture->hint(), "");
    EXPECT_EQ(picture->toolTip(), "");
    EXPECT_EQ(lightPixels(picture->grab().toImage()), 0);
}
