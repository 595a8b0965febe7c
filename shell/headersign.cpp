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
    conclusion::concl::open();
    conclusion::concl::clear();
    const platform::textfile::ReadResult r = platform::textfile::readLines(platform::paths::local(fileName));
    if (!r.ok) {
        conclusion::concl::showMessage(platform::paths::absentMessage(fileName));
        return;
    }
    conclusion::concl::setLines(r.lines);
}

void CaptureItemClick()
{
    loadIntoDraft(1, platform::paths::kCaption);
}

void SignatItemClick()
{
    loadIntoDraft(2, platform::paths::kSignature);
}

} // namespace shell
