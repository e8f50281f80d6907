#include "deferred.h"

#include "deferred_p.h"

#include <QLoggingCategory>
#include <QMetaMethod>

namespace {

// Calls slot (SLOT() form) of receiver at once with one argument of the given type.
// Only a slot that takes exactly that type (or nothing) is called: a direct metacall with
// an argument of another type would read memory the wrong way.
void invokeNow(QObject *receiver, const char *slot, int argumentType, const void *argument)
{
    if (!receiver || !slot || !*slot)
        return;
    const QByteArray signature = QMetaObject::normalizedSignature(slot + 1);
    const QMetaObject *meta = receiver->metaObject();
    const int index = meta->indexOfMethod(signature.constData());
    const QMetaMethod method = index < 0 ? QMetaMethod() : meta->method(index);
    const bool takesArgument =
            method.parameterCount() == 1 && method.parameterType(0) == argumentType;
    if (index < 0 || !(method.parameterCount() == 0 || takesArgument)) {
        qWarning("failed to find slot %s", slot);
        return;
    }
    void *argv[] = {nullptr, const_cast<void *>(argument)};
    QMetaObject::metacall(receiver, QMetaObject::InvokeMetaMethod, index, argv);
}

} // namespace

DeferredPrivate::DeferredPrivate()
{
    registerErrorMetaType();
}

Deferred::Deferred()
    : d(new DeferredPrivate)
{
}

Deferred::Deferred(const Deferred &other)
    : d(other.d)
{
    d->ref.ref();
}

Deferred &Deferred::operator=(const Deferred &other)
{
    if (d != other.d) {
        other.d->ref.ref();
        if (!d->ref.deref())
            delete d;
        d = other.d;
    }
    return *this;
}

Deferred::~Deferred()
{
    if (!d->ref.deref())
        delete d;
}

void Deferred::addCallback(QObject *receiver, const char *slot)
{
    if (!d->fired) {
        QObject::connect(d, SIGNAL(callback(QVariant)), receiver, slot);
        return;
    }
    if (!d->failed) {
        const Deferred keep(*this);
        const QVariant value = d->result;
        invokeNow(receiver, slot, QMetaType::QVariant, &value);
    }
}

void Deferred::addErrback(QObject *receiver, const char *slot)
{
    if (!d->fired) {
        QObject::connect(d, SIGNAL(errback(Error)), receiver, slot);
        return;
    }
    if (d->failed) {
        const Deferred keep(*this);
        const Error value = d->error;
        invokeNow(receiver, slot, registerErrorMetaType(), &value);
    }
}

void Deferred::callback(const QVariant &result)
{
    // A receiver may drop the last other handle while the signal runs; keep the state.
    const Deferred keep(*this);
    d->result = result;
    const QVariant value = result; // a slot may fire again and replace d->result
    emit d->callback(value);
    d->fired = true;
}

void Deferred::errback(const Error &error)
{
    const Deferred keep(*this);
    d->error = error;
    d->failed = true;
    const Error value = error;
    emit d->errback(value);
    d->fired = true;
}

bool Deferred::isFired() const
{
    return d->fired;
}

bool Deferred::isFailed() const
{
    return d->failed;
}

QVariant Deferred::result() const
{
    return d->result;
}

Error Deferred::error() const
{
    return d->error;
}

int registerDeferredMetaType()
{
    static const int id = qRegisterMetaType<Deferred>("Deferred");
    return id;
}
