#include "widgets/LinkThread.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>

namespace pv::ui {

LinkThread::LinkThread(QObject* parent) : QObject(parent) {
    thread_.setObjectName("link");
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

LinkThread::~LinkThread() {
    thread_.quit();
    thread_.wait();
}

void LinkThread::post(const Job& job, const Job& done) {
    busy_ = true;
    QMetaObject::invokeMethod(
        worker_,
        [this, job, done] {
            job();
            QMetaObject::invokeMethod(
                this,
                [this, done] {
                    busy_ = false;
                    ++finished_;
                    if (done) done();
                    emit jobFinished();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

bool LinkThread::tryPost(const Job& job, const Job& done) {
    if (busy_ || modal_) return false;
    post(job, done);
    return true;
}

void LinkThread::waitIdle() {
    if (!busy_) return;
    QEventLoop loop;
    auto c = connect(this, &LinkThread::jobFinished, &loop, [&] {
        if (!busy_) loop.quit();
    });
    loop.exec();
    disconnect(c);
}

bool LinkThread::runModal(const Job& job, QWidget* window) {
    if (modal_) return false;
    modal_ = true;
    InputBlocker blocker(window);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    waitIdle();
    bool ended = false;
    QEventLoop loop;
    post(job, [&] {
        ended = true;
        loop.quit();
    });
    if (!ended) loop.exec();
    QApplication::restoreOverrideCursor();
    modal_ = false;
    return true;
}

InputBlocker::InputBlocker(QWidget* window) : window_(window) {
    if (qApp) qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    if (qApp) qApp->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::Drop: {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && window_ && w->window() == window_) return true;
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pv::ui
