#pragma once

#include "composite_writer.h"

class Workstation;

// Composes the six working images at the current crop origins under the
// current file name and, once every file is written, releases them, keeps
// the mask image and marks the name as used. Returns whether every file was
// written; otherwise the images stay.
bool composeWorkingImages(Workstation &workstation, SixLayout layout);
