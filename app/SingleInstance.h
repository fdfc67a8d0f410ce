#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

namespace tessora {

// One resident Tessora per session, over the D-Bus session bus: the first instance owns the
// name "org.tessora.Tessora" and offers "ShowPanel" on the object "/org/tessora/Tessora"; a
// later start finds the name taken and asks the running instance to show its launcher instead,
// as re-opening an application does.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tessora.Tessora")

public:
    static constexpr char serviceName[] = "org.tessora.Tessora";
    static constexpr char objectPath[] = "/org/tessora/Tessora";
    // A running instance answers at once; one that does not within this is stuck.
    static constexpr int callTimeoutMs = 5000;

    enum class Outcome {
        Primary,     // we own the name; ShowPanel calls reach `showPanel`
        Forwarded,   // another instance runs and was asked to show its launcher
        NoBus,       // no session bus: we run on our own (logged once)
        Unanswered,  // another instance holds the name but does not answer; `error` says how
    };

    explicit SingleInstance(QDBusConnection bus = QDBusConnection::sessionBus(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Claims the name or hands over to the instance that holds it.
    Outcome claim();
    QString error() const { return m_error; }
    // What a ShowPanel call does while we are the primary instance.
    void setShowPanel(std::function<void()> showPanel) { m_showPanel = std::move(showPanel); }

public slots:
    Q_SCRIPTABLE void ShowPanel();

private:
    bool registerName();

    QDBusConnection m_bus;
    std::function<void()> m_showPanel;
    QString m_error;
    bool m_registered = false;
};

}  // namespace tessora
