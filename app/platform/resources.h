#pragma once

// The icons live in the program's resources; a static build must register
// them before the first window asks for one.
void initIsostepResources();
