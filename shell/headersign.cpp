#include "shell/headersign.h"

#include "conclusion/tfmconcl.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "platform/textfile.h"
#include "state/openwindow.h"
#include "state/examstate.h"

namespace shell {

void loadIntoDraft(int mode, const QString &fileName)
{
    state::ConclMode = mode;
    TfmConcl *concl = state::openWindow(state::fmConcl);
    concl->mmConcl->clearLines();
    const textfile::ReadResult r = textfile::readLines(paths::local(fileName));
    if (!r.ok) {
        ui::showMessage(concl, paths::absentMessage(fileName));
        return;
    }
    concl->mmConcl->setLines(r.lines);
}

void CaptureItemClick()
{
    loadIntoDraft(1, paths::kCaption);
}

void SignatItemClick()
{
    loadIntoDraft(2, paths::kSignature);
}

} // namespace shell
