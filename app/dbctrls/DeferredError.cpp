#include "app/dbctrls/DeferredError.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>

namespace {

QEvent::Type DeferredErrorType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

class TDeferredErrorEvent : public QEvent {
public:
    explicit TDeferredErrorEvent(std::exception_ptr error) : QEvent(DeferredErrorType()), Error(std::move(error)) {}
    std::exception_ptr Error;
};

// Receives the posted failures and raises them from its event handler.
class TErrorRelay : public QObject {
public:
    using QObject::QObject;

protected:
    bool event(QEvent* event) override {
        if (event->type() != DeferredErrorType()) return QObject::event(event);
        std::rethrow_exception(static_cast<TDeferredErrorEvent*>(event)->Error);
    }
};

QObject* Relay() {
    // Owned by the application object, so it goes away with it.
    static QPointer<TErrorRelay> relay;
    if (!relay) relay = new TErrorRelay(QCoreApplication::instance());
    return relay;
}

}  // namespace

void RaiseLater(std::exception_ptr error) {
    QCoreApplication::postEvent(Relay(), new TDeferredErrorEvent(std::move(error)));
}
