#include "state/examination.h"

#include "platform/paths.h"
#include "platform/prompter.h"
#include "state/findings.h"
#include "state/pathology.h"
#include "state/preliminary.h"
#include "state/recording.h"
#include "state/windows.h"
#include "state/zones.h"

#include <memory>

namespace state {

Examination::Examination(QObject *parent)
    : QObject(parent)
    , m_sign(new LineDocument(this))
    , m_pathology(new LineDocument(this))
    , m_draft(new LineDocument(this))
{
    // Sign and pathology lines go on whole into the examination; they are
    // not broken for display, so even a very long one costs time only in
    // proportion.
    m_sign->setLongLinesBroken(false);
    m_pathology->setLongLinesBroken(false);
    keepSignModified();
    connect(m_draft, &QTextDocument::contentsChanged, this, [this] { m_draftUnsaved = true; });
}

Examination::~Examination() = default;

// The sign counts as modified after every change of its text since the
// program last emptied it: typing (even typing that empties it), undo, a
// sign choice, the chart and pupil windows. Only the program's own emptying
// (clearLines, setLines with nothing) clears it. A text document alone
// forgets the flag whenever its text is written in whole or an undo returns
// to the emptied state, so the flag is kept here and put back.
void Examination::keepSignModified()
{
    connect(m_sign, &QTextDocument::contentsChanged, this, [this] {
        // The text is written in whole (setLines, clearLines) with undo
        // switched off; edits and appends keep undo on.
        m_signChanged = m_sign->isUndoRedoEnabled() || !m_sign->isEmpty();
        if (m_sign->isModified() != m_signChanged)
            m_sign->setModified(m_signChanged);
    });
    connect(m_sign, &QTextDocument::modificationChanged, this, [this](bool on) {
        if (on != m_signChanged)
            m_sign->setModified(m_signChanged);
    });
    // Written in whole: modified exactly when something was written, even
    // when the text was empty before and after.
    connect(m_sign, &LineDocument::rewritten, this, [this] {
        m_signChanged = !m_sign->isEmpty();
        if (m_sign->isModified() != m_signChanged)
            m_sign->setModified(m_signChanged);
    });
}

bool Examination::resultsRecorded() const
{
    return DeepPassCount > 0 || !RightEyeSigns.isEmpty() || !LeftEyeSigns.isEmpty() || !ExpressLines.isEmpty() ||
           !VelkhoverLines.isEmpty() || !KrivenkoLines.isEmpty();
}

bool Examination::holdsUnsavedConclusion() const
{
    return ConclMode == 0 && m_draftUnsaved && !m_draft->isEmpty();
}

void Examination::chooseEye(Eye eye)
{
    if (eye == m_eye)
        return;
    m_eye = eye;
    emit eyeChosen(eye);
}

void Examination::chooseSign(const QString &text, const QList<int> &codes)
{
    SignCodes = codes;
    m_sign->clearLines();
    m_sign->appendLine(text);
    m_sign->setModified(true);
    m_pathology->clearLines();
    FillPathologyBox(SignCodes);
    emit currentSignChanged();
}

void Examination::choosePupilVariant(const QString &name, const std::optional<QList<int>> &codes)
{
    m_sign->setLines({name});
    if (codes) {
        SignCodes = *codes;
        m_pathology->clearLines();
        FillPathologyBox(SignCodes);
    }
    emit currentSignChanged();
}

void Examination::clearSign()
{
    m_sign->clearLines();
    m_pathology->clearLines();
    emit currentSignChanged();
}

bool Examination::FillPathologyBox(const QList<int> &codes)
{
    if (codes.isEmpty())
        return true;
    QStringList found;
    const bool read = pathology::lookup(platform::paths::local(platform::paths::kPathology), codes, &found);
    m_pathology->appendLines(found);
    if (!read)
        platform::ui::showMessage(windows().existing(QStringLiteral("fmDeep")), platform::paths::absentMessage(platform::paths::kPathology));
    return read;
}

void Examination::localise(const QString &zoneName, const QString &zoneCode)
{
    m_sign->setLines(zones::localiseSigns(m_sign->lines(), zoneName));
    m_pathology->setLines(zones::localisePathology(m_pathology->lines(), zoneCode, zoneName));
    emit currentSignChanged();
}

bool Examination::recordChosenEye()
{
    return record(m_eye, deep::boxLines(m_sign->lines()), deep::boxLines(m_pathology->lines()));
}

bool Examination::record(Eye eye, const QStringList &signs, const QStringList &pathologies)
{
    const bool first = DeepPassCount == 0;
    QStringList &eyeSigns = eye == Eye::Right ? RightEyeSigns : LeftEyeSigns;
    if (!first)
        (eye == Eye::Right ? RightEyeSignsOld : LeftEyeSignsOld) = eyeSigns;
    eyeSigns = deep::recordSigns(first, eyeSigns, signs);
    const deep::Pathologies p = deep::recordPathologies(first, PathologyLines, pathologies);
    PathologyLines = p.lines;
    UniquePathologyLines = p.unique;
    std::optional<QStringList> findings = GroupFindings(UniquePathologyLines);
    if (!findings)
        return false;
    FindingLines = std::move(*findings);
    ++DeepPassCount;
    emit recorded();
    return true;
}

bool Examination::drawUpPreliminary()
{
    for (QStringList *eye : {&RightEyeSigns, &LeftEyeSigns})
        for (QString &sign : *eye)
            sign = deep::shownSign(sign);
    if (!rebuildConsultations().ok)
        return false;
    clearDraft();
    m_draft->appendLines(deep::preliminaryConclusion(RightEyeSigns, LeftEyeSigns, FindingLines, ConsultLines.value(0)));
    emit draftReplaced();
    return true;
}

Consultations Examination::rebuildConsultations()
{
    Consultations c = BuildConsultations(UniquePathologyLines);
    ConsultLines = c.lines;
    return c;
}

void Examination::combineExpress()
{
    ExpressLines = VelkhoverLines + KrivenkoLines;
    clearDraft();
    m_draft->appendLines(ExpressLines);
    emit expressChanged();
    emit draftReplaced();
}

void Examination::confirmVelkhover(const QStringList &lines)
{
    ConclMode = 0;
    VelkhoverLines = lines;
    combineExpress();
}

void Examination::confirmKrivenko(const QStringList &lines)
{
    ConclMode = 0;
    KrivenkoLines = lines;
    combineExpress();
}

void Examination::setConclCaret(int line, int column)
{
    ConclCaretLine = line;
    ConclCaretColumn = column;
}

void Examination::insertPhrase(int guideLine, const QString &phrase)
{
    GuideLineIndex = guideLine;
    GuidePhrase = phrase;
    const QString line = m_draft->displayedLine(ConclCaretLine);
    const int c = ConclCaretColumn;
    ConclLineHead = line.left(c);
    ConclLineTail = line.mid(c);
    m_draft->insertAtDisplayed(ConclCaretLine, c, GuidePhrase);
    ConclCaretColumn = c + int(GuidePhrase.size());
}

void Examination::setConclMode(int mode)
{
    ConclMode = mode;
}

void Examination::clearDraft()
{
    m_draft->clearLines();
    m_draftUnsaved = false;
}

void Examination::setDraftLines(const QStringList &lines)
{
    m_draft->setLines(lines);
    emit draftReplaced();
}

void Examination::appendDraftLines(const QStringList &lines)
{
    m_draft->appendLines(lines);
}

void Examination::markDraftSaved()
{
    m_draftUnsaved = false;
}

void Examination::newPatient()
{
    ConclMode = 0;
    // The counts of the express results and of both eyes' signs go to 0,
    // which empties those lists for every reader.
    ExpressLines.clear();
    VelkhoverLines.clear();
    KrivenkoLines.clear();
    DeepPassCount = 0;
    RightEyeSigns.clear();
    LeftEyeSigns.clear();
    // PathologyLines, UniquePathologyLines, FindingLines and ConsultLines
    // keep the old patient's lines, as their counts always did: nothing
    // reads them while DeepPassCount is 0 ("Итог" shows findings and
    // consultations only above 0), and the next recording, the first again,
    // replaces them before anything reads them. The sign codes and the
    // phrase insertion place stay too.
    clearDraft();
    m_sign->clearLines();
    m_pathology->clearLines();
    emit currentSignChanged();
    emit expressChanged();
    emit draftReplaced();
    emit reset();
}

void Examination::setStartValues()
{
    DeepPassCount = 0;
}

namespace {
std::unique_ptr<Examination> &current()
{
    static std::unique_ptr<Examination> exam;
    return exam;
}
} // namespace

Examination &examination()
{
    std::unique_ptr<Examination> &exam = current();
    if (!exam)
        exam = std::make_unique<Examination>();
    return *exam;
}

void renewExamination()
{
    current() = std::make_unique<Examination>();
}

} // namespace state
