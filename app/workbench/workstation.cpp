#include "workstation.h"

#include "app_state.h"
#include "platform/picture_box.h"

void sizeWorkPictures(Workstation &workstation)
{
    const AppState &state = workstation.state();
    workstation.workPicture(WorkPicture::Loaded).resize(state.cropWidth + 4, state.cropHeight + 4);
    workstation.workPicture(WorkPicture::Single).resize(state.cropWidth + 4, state.cropHeight + 4);
    workstation.workPicture(WorkPicture::Composite).resize(2 * state.cropWidth + 4, state.cropHeight + 4);
}
