#include "shell/headersign.h"

#include "conclusion/concldoor.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "platform/textfile.h"
#include "state/examination.h"

namespace shell {

void loadIntoDraft(int mode, const QString &fileName)
{
    state::examination().setConclMode(mode);
    concl::open();
    concl::clear();
    const textfile::ReadResult r = textfile::readLines(paths::local(fileName));
    if (!r.ok) {
        concl::showMessage(paths::absentMessage(fileName));
        return;
    }
    concl::setLines(r.lines);
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
