#pragma once
// The progress window of long transfers: one text line, a bar and Cancel. It is application
// modal, so the main window cannot start a second command while a transfer runs, yet it keeps
// repainting. Cancel only raises a flag; the workflow polls it between transactions.

#include <QDialog>
#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;

namespace pv::ui {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    void begin(const QString& text, int rangeMin, int rangeMax);
    void setText(const QString& text);
    void setRange(int rangeMin, int rangeMax);
    void setPosition(int position);
    void end();

    bool cancelled() const { return cancelled_.load(); }
    // Safe from any thread: a new operation starts uncancelled before its window shows.
    void clearCancel() { cancelled_ = false; }
    QPushButton* cancelButton() const { return cancel_; }
    QString text() const;
    int position() const;

protected:
    void reject() override;  // Esc and the title bar's close act as Cancel

private:
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace pv::ui
