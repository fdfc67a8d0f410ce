#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QScrollArea;

namespace tessora {

class OrreryButton;

// The small window of software updates: a check in progress, a release on offer with its
// notes, the download's progress, an outcome or an error, and the question whether to check
// daily. Its buttons only say what was chosen; the updater acts on them.
class UpdateWindow final : public QWidget {
    Q_OBJECT

public:
    explicit UpdateWindow(QWidget* parent = nullptr);

    void showChecking();
    // `notes` may be HTML, as feeds often give them; they are shown as plain text.
    void showOffer(const QString& version, const QString& current, const QString& notes);
    void showUpToDate(const QString& current);
    void showProgress(qint64 received, qint64 total);
    void showMessage(const QString& heading, const QString& text);
    void askAboutAutomaticChecks();

    QString heading() const;
    QString text() const;
    QString notes() const;

signals:
    void installChosen();
    void remindLaterChosen();
    void skipChosen();
    void automaticChecksAnswered(bool yes);

private:
    void present(const QString& heading, const QString& text,
                 std::initializer_list<OrreryButton*> buttons);

    QLabel* m_heading;
    QLabel* m_text;
    QScrollArea* m_notesArea;
    QLabel* m_notes;
    QProgressBar* m_progress;
    OrreryButton* m_install;
    OrreryButton* m_later;
    OrreryButton* m_skip;
    OrreryButton* m_close;
    OrreryButton* m_automatic;
    OrreryButton* m_manual;
};

}  // namespace tessora
