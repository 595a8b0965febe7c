#pragma once
// The examination of the current patient: one object the windows share. It
// holds what the examination has found so far (the signs recorded per eye,
// the pathology lines, the findings grouped by body system, the
// consultations, the express results), the sign being chosen (its text, its
// pathology lines and codes) and the draft conclusion, and it offers the
// operations the windows perform on them. Windows show what it holds (the
// deep window's sign and pathology boxes and the draft window's box show its
// documents, so whatever the user types goes straight into it) and learn
// from its signals what changed; no window reads another window's box.
//
// Every list is the truth: its elements are the valid ones, no count beside
// it. The rules are plain functions over data (state/recording.h,
// state/findings.h, state/consultations.h, state/preliminary.h, state/zones.h);
// this object applies them to what it holds.
#include "platform/linedocument.h"
#include "state/consultations.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class ExaminationScript;

namespace state {

enum class Eye { Right, Left };

class Examination : public QObject {
    Q_OBJECT
public:
    explicit Examination(QObject *parent = nullptr);
    ~Examination() override;

    // --- What the examination holds ---

    // Times "Заключение" has recorded since the last new-patient reset: 0
    // means the next recording replaces everything, more adds to it.
    int deepPassCount() const { return DeepPassCount; }
    // Sign lines recorded per eye, in recording order, and the scratch copy
    // of an eye's previous lines while a recording is added to them.
    const QStringList &rightEyeSigns() const { return RightEyeSigns; }
    const QStringList &leftEyeSigns() const { return LeftEyeSigns; }
    const QStringList &rightEyeSignsOld() const { return RightEyeSignsOld; }
    const QStringList &leftEyeSignsOld() const { return LeftEyeSignsOld; }
    // The pathology box's lines at each recording, accumulated, repeats
    // included; the same without repeats; the findings grouped by body
    // system; the consultations (element 0 the whole sentence once built).
    const QStringList &pathologyLines() const { return PathologyLines; }
    const QStringList &uniquePathologyLines() const { return UniquePathologyLines; }
    const QStringList &findingLines() const { return FindingLines; }
    const QStringList &consultLines() const { return ConsultLines; }
    // The pathology codes of the sign chosen last.
    const QList<int> &signCodes() const { return SignCodes; }
    // The express results as last confirmed, per method, and the express
    // section: the Velkhover lines followed by the Krivenko lines.
    const QStringList &velkhoverLines() const { return VelkhoverLines; }
    const QStringList &krivenkoLines() const { return KrivenkoLines; }
    const QStringList &expressLines() const { return ExpressLines; }
    // The place in the draft where guide phrases go, and the last phrase taken.
    int conclCaretLine() const { return ConclCaretLine; }
    int conclCaretColumn() const { return ConclCaretColumn; }
    int guideLineIndex() const { return GuideLineIndex; }
    const QString &guidePhrase() const { return GuidePhrase; }
    const QString &conclLineHead() const { return ConclLineHead; }
    const QString &conclLineTail() const { return ConclLineTail; }
    // What the draft holds: 0 a conclusion, 1 the conclusion header text, 2
    // the signature text.
    int conclMode() const { return ConclMode; }

    // Whether the examination holds results of its own: signs recorded for
    // an eye or express results (what the new-patient reset empties).
    bool resultsRecorded() const;
    // Whether the draft holds a conclusion (ConclMode 0) changed since it
    // was last saved, emptied or shown from a card's file.
    bool holdsUnsavedConclusion() const;

    // --- The sign being chosen and the draft, as text boxes show them ---

    // The eye the sign is chosen for (the deep window's "Правый"/"Левый").
    Eye chosenEye() const { return m_eye; }
    void chooseEye(Eye eye);

    // The sign box's text (mmSign), the pathology box's (mmPathology) and the
    // draft conclusion's (mmConcl).
    LineDocument *signDocument() const { return m_sign; }
    LineDocument *pathologyDocument() const { return m_pathology; }
    LineDocument *draftDocument() const { return m_draft; }
    QStringList signLines() const { return m_sign->lines(); }
    QStringList currentPathologyLines() const { return m_pathology->lines(); }
    QStringList draftLines() const { return m_draft->lines(); }
    // The sign counts as chosen anew after every change of its text since it
    // was last emptied by the program, the user's typing included (even
    // typing that empties it): only then does "Заключение" record.
    bool signModified() const { return m_sign->isModified(); }

    // --- Operations ---

    // A sign from the catalogue: its codes become SignCodes, its text the
    // only sign line, and the pathology lines those of its codes in the
    // dictionary (FillPathologyBox).
    void chooseSign(const QString &text, const QList<int> &codes);
    // A pupil or border variant from its diagram: its name becomes the sign
    // text (written in whole); with codes for the eye, these become SignCodes
    // and the pathology lines those of the codes, without, both stay.
    void choosePupilVariant(const QString &name, const std::optional<QList<int>> &codes);
    // Sign and pathology lines emptied (a pupil diagram is about to be chosen
    // from); the codes stay.
    void clearSign();
    // Appends the dictionary lines of the codes, in code order, to the
    // pathology lines. A dictionary that cannot be read is reported once,
    // "File .\SystmTxt\Patology.txt is absent" over the deep window, and
    // nothing is appended; false then.
    bool FillPathologyBox(const QList<int> &codes);
    // "Ввод" of the chart window: the zone's name appended to every sign and
    // pathology line, its body-system code put into the pathology lines
    // (not those of recommendations, code 11).
    void localise(const QString &zoneName, const QString &zoneCode);

    // "Заключение": the sign and pathology lines into the chosen eye. False
    // when the findings could not be grouped (a pathology line without an
    // integer body-system code): the signs and pathology lists are recorded
    // then, the findings and DeepPassCount stay as they were.
    bool recordChosenEye();
    // The same for given lines and eye.
    bool record(Eye eye, const QStringList &signs, const QStringList &pathologies);
    // The preliminary conclusion into the draft: the recorded signs lose
    // their "&" for good, the consultations are rebuilt. False when they
    // cannot be (the draft is left as it was).
    bool drawUpPreliminary();
    // BuildConsultations over UniquePathologyLines into ConsultLines.
    Consultations rebuildConsultations();

    // The express section: the lines of one method as confirmed by the
    // express window's "Заключение", combined with the other method's, and
    // shown alone in the draft.
    void confirmVelkhover(const QStringList &lines);
    void confirmKrivenko(const QStringList &lines);

    // A mouse press in the draft placed its caret here (displayed lines).
    void setConclCaret(int line, int column);
    // A guide phrase (line guideLine of the guide text) goes into the draft
    // at that place, which then moves past it.
    void insertPhrase(int guideLine, const QString &phrase);

    void setConclMode(int mode);
    // The draft emptied (nothing unsaved left), written in whole, appended
    // to, saved.
    void clearDraft();
    void setDraftLines(const QStringList &lines);
    void appendDraftLines(const QStringList &lines);
    void markDraftSaved();

    // "Новый" / "Новый пациент": the examination starts afresh. ConclMode 0;
    // the express results, the signs of both eyes and DeepPassCount emptied;
    // the draft, the sign and the pathology lines emptied. Everything else
    // stays (see newPatient() for why the pathology lists and findings may).
    void newPatient();
    // Start values set when the main window is created: DeepPassCount 0.
    void setStartValues();

signals:
    void currentSignChanged();
    void eyeChosen(state::Eye eye);
    void recorded();
    void draftReplaced();
    void expressChanged();
    void reset();

private:
    friend class ::ExaminationScript; // tests write states no operation reaches

    void combineExpress();
    void keepSignModified();

    int DeepPassCount = 0;
    QStringList RightEyeSigns;
    QStringList LeftEyeSigns;
    QStringList RightEyeSignsOld;
    QStringList LeftEyeSignsOld;
    QStringList PathologyLines;
    QStringList UniquePathologyLines;
    QStringList FindingLines;
    QStringList ConsultLines;
    QList<int> SignCodes;
    QStringList VelkhoverLines;
    QStringList KrivenkoLines;
    QStringList ExpressLines;
    int ConclCaretLine = 0;
    int ConclCaretColumn = 0;
    int GuideLineIndex = 0;
    QString GuidePhrase;
    QString ConclLineHead;
    QString ConclLineTail;
    int ConclMode = 0;

    Eye m_eye = Eye::Right;
    LineDocument *m_sign = nullptr;
    LineDocument *m_pathology = nullptr;
    LineDocument *m_draft = nullptr;
    bool m_signChanged = false;
    bool m_draftUnsaved = false;
};

// The examination of the running program.
Examination &examination();
// A fresh examination in its place, as at program start (each test starts
// with one). Every window showing the old one must be gone.
void renewExamination();

} // namespace state
