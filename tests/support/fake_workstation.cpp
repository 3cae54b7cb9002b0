#include "fake_workstation.h"

#include "alignment/frm_align.h"

FakeWorkstation::~FakeWorkstation()
{
    alignment.discard();
}

void FakeWorkstation::cmdAlign_Click()
{
    showAlignWindow(*this, alignment, &area);
}
