#pragma once

#include <QAbstractTransition>
#include <QEvent>

// Events that Agent posts to its state machine, and the transitions that take them.

class IdentificationEvent : public QEvent
{
public:
    static constexpr QEvent::Type EventType = QEvent::Type(QEvent::User + 1);
    explicit IdentificationEvent(bool identified)
        : QEvent(EventType), m_identified(identified)
    {
    }
    bool isIdentified() const { return m_identified; }

private:
    bool m_identified;
};

class AuthenticationEvent : public QEvent
{
public:
    static constexpr QEvent::Type EventType = QEvent::Type(QEvent::User + 2);
    explicit AuthenticationEvent(bool authenticated)
        : QEvent(EventType), m_authenticated(authenticated)
    {
    }
    bool isAuthenticated() const { return m_authenticated; }

private:
    bool m_authenticated;
};

// "Look at the state again": the identified state is left and entered anew.
class UpdateStateEvent : public QEvent
{
public:
    static constexpr QEvent::Type EventType = QEvent::Type(QEvent::User + 3);
    UpdateStateEvent() : QEvent(EventType) {}
};

// Accepts an IdentificationEvent whose payload equals the expected one.
class IdentificationTransition : public QAbstractTransition
{
    Q_OBJECT

public:
    explicit IdentificationTransition(bool identified, QState *source = nullptr)
        : QAbstractTransition(source), m_identified(identified)
    {
    }

protected:
    bool eventTest(QEvent *event) override
    {
        return event->type() == IdentificationEvent::EventType
            && static_cast<IdentificationEvent *>(event)->isIdentified() == m_identified;
    }
    void onTransition(QEvent *) override {}

private:
    bool m_identified;
};

// Accepts an AuthenticationEvent whose payload equals the expected one.
class AuthenticationTransition : public QAbstractTransition
{
    Q_OBJECT

public:
    explicit AuthenticationTransition(bool authenticated, QState *source = nullptr)
        : QAbstractTransition(source), m_authenticated(authenticated)
    {
    }

protected:
    bool eventTest(QEvent *event) override
    {
        return event->type() == AuthenticationEvent::EventType
            && static_cast<AuthenticationEvent *>(event)->isAuthenticated() == m_authenticated;
    }
    void onTransition(QEvent *) override {}

private:
    bool m_authenticated;
};

class UpdateStateTransition : public QAbstractTransition
{
    Q_OBJECT

public:
    explicit UpdateStateTransition(QState *source = nullptr) : QAbstractTransition(source) {}

protected:
    bool eventTest(QEvent *event) override { return event->type() == UpdateStateEvent::EventType; }
    void onTransition(QEvent *) override {}
};
