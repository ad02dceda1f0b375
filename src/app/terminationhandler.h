#pragma once

#include <QObject>

class QSocketNotifier;

/**
 * Turns SIGTERM and SIGINT into an orderly quit of the event loop, so a session log-out or a
 * `kill` still closes the database and writes the log's exit line.
 */
class TerminationHandler : public QObject
{
    Q_OBJECT
public:
    explicit TerminationHandler(QObject* parent = nullptr);
    ~TerminationHandler() override;

private:
    static void onSignal(int);
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};
