#include "file_naming.h"

#include "platform/operator.h"

#include <limits>

FileNaming::FileNaming(Operator &op, std::function<void(const QString &)> showFileName)
    : op_(op), showFileName_(std::move(showFileName))
{
}

std::optional<QString> FileNaming::askForName()
{
    FileDialogRecord record;
    record.filters = {{QStringLiteral("SIX files"), QStringLiteral("*.six")}};
    record.title = QStringLiteral("Choose file name");
    record.defaultExtension = QStringLiteral("bas");
    record.overwritePrompt = true;
    record.multiSelect = true;
    return op_.chooseSaveFile(record);
}

void FileNaming::setFilename()
{
    if (const auto chosen = askForName())
        currentFileName_ = *chosen;
    startAfresh();
}

void FileNaming::adopt(const QString &fileName)
{
    currentFileName_ = fileName;
    startAfresh();
}

void FileNaming::startAfresh()
{
    fileNameFresh_ = true;
    fileCounter_ = 0;
    if (showFileName_)
        showFileName_(currentFileName_);
    if (currentFileName_.size() < 4)
        return;
    // The dot and three letters of the extension, typed or appended by the
    // dialog, are not part of the stem the numbered names grow from.
    baseName_ = currentFileName_.left(currentFileName_.size() - 4);
}

bool FileNaming::namingStep(Wording wording, bool autoIncrement)
{
    const bool reflection = wording == Wording::Reflection;
    const Operator::Icon icon = reflection ? Operator::Icon::Exclamation : Operator::Icon::None;
    if (currentFileName_.isEmpty()) {
        op_.tell(QStringLiteral("You must choose a file name first"), QStringLiteral("Error"), icon);
        setFilename();
        if (currentFileName_.isEmpty())
            return false;
    } else if (!autoIncrement && !fileNameFresh_) {
        const QString question = reflection
            ? QStringLiteral("Use previous file name (") + currentFileName_
                + QStringLiteral(
                    ")?  This will overwrite your last set of data.  Choose YES to proceed or NO to choose new file name.")
            : QStringLiteral("Use previous file name? (") + currentFileName_
                + QStringLiteral(
                    ")  This will overwrite your last set of data.  Choose YES to proceed or NO to choose new file name.");
        switch (op_.ask(question, QStringLiteral("Warning"), Operator::Buttons::YesNoCancel, icon)) {
        case Operator::Answer::Yes:
            break;
        case Operator::Answer::No: {
            const auto chosen = askForName();
            if (!chosen)
                return false;
            adopt(*chosen);
            break;
        }
        default:
            return false;
        }
    }

    if (autoIncrement) {
        // The counter is 16-bit; past its end the next name would carry a
        // negative number, so the operator starts a new name instead.
        if (fileCounter_ == std::numeric_limits<int16_t>::max()) {
            op_.tell(QStringLiteral("The file counter has reached %1 and cannot number another file.  "
                                    "Choose a new file name with Set Filename.")
                         .arg(fileCounter_),
                     QStringLiteral("Error"), Operator::Icon::Exclamation);
            return false;
        }
        ++fileCounter_;
        currentFileName_ = baseName_ + QString::number(fileCounter_) + QStringLiteral(".six");
    } else {
        currentFileName_ = baseName_ + QStringLiteral(".six");
    }
    return true;
}
