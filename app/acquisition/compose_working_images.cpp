#include "compose_working_images.h"

#include "workbench/app_state.h"
#include "workbench/file_naming.h"
#include "workbench/workstation.h"

#include <QCoreApplication>

bool composeWorkingImages(Workstation &workstation, SixLayout layout)
{
    AppState &state = workstation.state();
    CompositeRequest request;
    request.layout = layout;
    for (int i = 1; i <= 6; ++i) {
        request.images[i - 1] = state.imageDCs[i];
        request.origins[i - 1] = QPoint(state.alignX[i], state.alignY[i]);
    }
    request.imageWidth = state.imageWidth;
    request.imageHeight = state.imageHeight;
    request.cropWidth = state.cropWidth;
    request.cropHeight = state.cropHeight;
    request.fileName = workstation.naming().currentFileName();
    request.saveI46 = workstation.optionSet(OptionBox::SaveI46);
    request.saveI4 = workstation.optionSet(OptionBox::SaveI4);
    request.saveI6 = workstation.optionSet(OptionBox::SaveI6);

    workstation.setStatusPanel(StatusPanel::Status, QStringLiteral("Saving Image"));
    QCoreApplication::processEvents();
    // No hourglass here: the writer's messages follow straight on, and the
    // composition itself takes a blink.
    const CompositeResult result = ComposeSix(request, workstation.op());
    if (!result.written)
        return false;
    state.maskImage = result.maskImage;
    state.releaseImageSet();
    workstation.setStatusPanel(StatusPanel::Status, result.finalStatus);
    workstation.naming().markUsed();
    return true;
}
