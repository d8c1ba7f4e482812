#include "flash/render/inline_fills.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <exception>

namespace flash::render {

void paintWithInlineFills(const std::function<void()>& paint) {
    QThreadPool* pool = QThreadPool::globalInstance();
    if (!pool || pool->contains(QThread::currentThread())) {
        paint();
        return;
    }
    QSemaphore done;
    std::exception_ptr failure;
    pool->start([&] {
        try {
            paint();
        } catch (...) {
            failure = std::current_exception();
        }
        done.release();
    });
    done.acquire();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace flash::render
