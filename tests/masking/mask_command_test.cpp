#include "cli/mask_command.h"
#include "fake_workstation.h"
#include "masking/frm_back.h"
#include "platform/bmp_file.h"

#include <QFile>
#include <QTemporaryDir>
#include "batch_run.h"

#include <gtest/gtest.h>

namespace {

CommandRun mask(const QStringList &arguments)
{
    return runBatch(runMaskCommand, arguments);
}

void writeFile(const QString &name, const QByteArray &contents)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

const QByteArray points = "\"NB\",3\r\n"
                          "5,#TRUE#\r\n2,2\r\n20,3\r\n8,20\r\n20,18\r\n3,12\r\n" // a self-crossing star-like area
                          "4,#FALSE#\r\n1,1\r\n30,1\r\n30,22\r\n1,22\r\n"
                          "1,#TRUE#\r\n9,9\r\n";

TEST(MaskCommand, WritesTheSameBitmapAsTheEditorAfterReadingThePointFile)
{
    QTemporaryDir dir;
    const QString bgp = dir.filePath("cell.bgp");
    writeFile(bgp, points);

    // The editor: read the point file, save under a new name.
    AppState state;
    state.cropWidth = 33;
    state.cropHeight = 25;
    state.imageWidth = 53;
    state.imageHeight = 45;
    ScriptedOperator op;
    FakeCardLibrary card;
    FakeWorkstation workstation(state, op, card);
    {
        frmBack editor(workstation);
        op.files = {bgp, dir.filePath("editor.bng")};
        editor.cmdRead_Click();
        editor.cmdSave_Click();
    }
    ASSERT_TRUE(op.messages.empty());
    const QByteArray editorBytes = fileBytes(dir.filePath("editor.bng"));
    ASSERT_FALSE(editorBytes.isEmpty());
    EXPECT_EQ(fileBytes(dir.filePath("editor.bgp")), points);

    const QString output = dir.filePath("batch.bng");
    const CommandRun run = mask({"--points", bgp, "--size", "33x25", "--output", output});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, QString("Written mask of 3 area(s) as %1\n").arg(output));
    EXPECT_EQ(fileBytes(output), editorBytes);
    // 33 x 25 at 24 bits: rows of 99 bytes padded to 100.
    EXPECT_EQ(editorBytes.size(), 54 + 100 * 25);
}

TEST(MaskCommand, RefusesWrongArgumentsAndBadFilesWithoutWriting)
{
    QTemporaryDir dir;
    const QString bgp = dir.filePath("cell.bgp");
    writeFile(bgp, points);
    const QString bad = dir.filePath("bad.bgp");
    writeFile(bad, "\"NB\",40\r\n");
    const QString output = dir.filePath("out.bng");
    writeFile(output, "earlier");

    struct Case {
        QStringList arguments;
        int exitCode;
        QString err;
    };
    const QList<Case> cases = {
        {{"--size", "10x10", "--output", output}, 2, "isostepbmp mask: --points FILE.bgp is required.\n"},
        {{"--points", bgp, "--size", "10x10"}, 2, "isostepbmp mask: --output OUT.bng is required.\n"},
        {{"--points", bgp, "--output", output}, 2, "isostepbmp mask: --size WIDTHxHEIGHT is required.\n"},
        {{"--points", bgp, "--size", "10", "--output", output}, 2,
         "isostepbmp mask: The size \"10\" must be WIDTHxHEIGHT, each 1 to 32767 pixels.\n"},
        {{"--points", bgp, "--size", "0x5", "--output", output}, 2,
         "isostepbmp mask: The size \"0x5\" must be WIDTHxHEIGHT, each 1 to 32767 pixels.\n"},
        {{"--points", bgp, "--size", "40000x5", "--output", output}, 2,
         "isostepbmp mask: The size \"40000x5\" must be WIDTHxHEIGHT, each 1 to 32767 pixels.\n"},
        // Refused before a mask is built, not at writing 8 GB later.
        {{"--points", bgp, "--size", "32767x32767", "--output", output}, 2,
         "isostepbmp mask: The size \"32767x32767\" makes a bitmap larger than 2 GB, which cannot be written.\n"},
        {{"--points", "/dev/zero", "--size", "5x5", "--output", output}, 1,
         "isostepbmp mask: The point file \"/dev/zero\" cannot be used: it is empty.  No areas were read.\n"},
        {{"--points", bgp, "--size", "5x5", "--output", output, "extra"}, 2, "isostepbmp mask: Unexpected argument \"extra\".\n"},
        {{"--bogus"}, 2, "isostepbmp mask: Unknown option 'bogus'.\n"},
        {{"--points", bad, "--size", "5x5", "--output", output}, 1,
         QString("isostepbmp mask: The point file \"%1\" cannot be used: it holds 40 areas, and the editor keeps at most "
                 "32.  No areas were read.\n")
             .arg(bad)},
    };
    for (const Case &c : cases) {
        const CommandRun run = mask(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        QString expected = c.err;
        if (c.exitCode == 2)
            expected += "Try 'isostepbmp mask --help'.\n";
        EXPECT_EQ(run.err, expected);
        EXPECT_EQ(fileBytes(output), QByteArray("earlier"));
    }

    const CommandRun unwritable = mask({"--points", bgp, "--size", "5x5", "--output", dir.filePath("no/such/dir/out.bng")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.startsWith("isostepbmp mask: ")) << unwritable.err.toStdString();
    EXPECT_TRUE(unwritable.err.contains("out.bng"));

    const CommandRun help = mask({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: isostepbmp mask")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("--points <file>"));
}

} // namespace
