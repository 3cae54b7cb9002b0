#include "file_naming.h"

#include "app_state.h"
#include "platform/operator.h"

#include <QDir>

FileNaming::FileNaming(AppState &state, Operator &op, std::function<void(const QString &)> showFileName)
    : state_(state), op_(op), showFileName_(std::move(showFileName))
{
}

void FileNaming::setFilename()
{
    FileDialogRecord record;
    record.filters = {{QStringLiteral("SIX files"), QStringLiteral("*.six")}};
    record.title = QStringLiteral("Choose file name");
    record.initialFolder = QDir::currentPath();
    record.defaultExtension = QStringLiteral("bas");
    record.overwritePrompt = true;
    record.multiSelect = true;

    if (const auto chosen = op_.chooseSaveFile(record))
        state_.currentFileName = *chosen;

    state_.fileNameFresh = true;
    fileCounter_ = 0;
    showFileName_(state_.currentFileName);
    if (state_.currentFileName.size() < 4)
        return;
    // The dot and three letters of the extension, typed or appended by the
    // dialog, are not part of the stem the numbered names grow from.
    baseName_ = state_.currentFileName.left(state_.currentFileName.size() - 4);
}

bool FileNaming::namingStep(Wording wording, bool autoIncrement)
{
    const bool reflection = wording == Wording::Reflection;
    if (state_.currentFileName.isEmpty()) {
        op_.tell(QStringLiteral("You must choose a file name first"), QStringLiteral("Error"),
                 reflection ? Operator::Icon::Exclamation : Operator::Icon::None);
        setFilename();
        if (state_.currentFileName.isEmpty())
            return false;
    } else if (!autoIncrement && !state_.fileNameFresh) {
        const QString question = reflection
            ? QStringLiteral("Use previous file name (") + state_.currentFileName
                  + QStringLiteral(")?  This will overwrite your last set of data.  Choose YES to proceed or NO to choose new file name.")
            : QStringLiteral("Use previous file name? (") + state_.currentFileName
                  + QStringLiteral(")  This will overwrite your last set of data.  Choose YES to proceed or NO to choose new file name.");
        switch (op_.ask(question, QStringLiteral("Warning"), Operator::Buttons::YesNoCancel,
                        reflection ? Operator::Icon::Exclamation : Operator::Icon::None)) {
        case Operator::Answer::No:
            setFilename();
            break;
        case Operator::Answer::Yes:
            break;
        default:
            return false;
        }
    }

    if (autoIncrement) {
        ++fileCounter_;
        state_.currentFileName = baseName_ + QString::number(fileCounter_) + QStringLiteral(".six");
    } else {
        state_.currentFileName = baseName_ + QStringLiteral(".six");
    }
    return true;
}
