#pragma once
// The reference guide window: ready phrases for the conclusion, from the
// iridologist's, dietitian's and homeopath's guides. A press on a line
// ("Строкой") puts the whole line into the draft conclusion at the place last
// marked there.
#include <QWidget>

class PressMemo;
class QGroupBox;
class QMenuBar;
class QRadioButton;

class TfmGuid : public QWidget {
    Q_OBJECT
public:
    explicit TfmGuid(QWidget *owner = nullptr);

    // Name of the guide file last chosen from the menu.
    QString GuideFileName;

public slots:
    // Replaces the box's content by the file's lines.
    void LoadGuideText(const QString &fileName);
    void insertPhrase(); // MemoGuidIriMouseDown

private:
    // The controls, under their written names (their object names too).
    QMenuBar *MainMenu1 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QRadioButton *rbString = nullptr;
    QRadioButton *rbBlock = nullptr;
    PressMemo *MemoGuidIri = nullptr;

    void buildMenu();
};
