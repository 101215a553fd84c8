#pragma once

namespace bravel {

// Log off, restart and shut down after a backup run. The real implementation asks systemd;
// tests install a recording fake, and no test ever constructs the real one.
class SystemActions {
  public:
    virtual ~SystemActions() = default;
    virtual void logOff() = 0;
    virtual void restart() = 0;
    virtual void shutDown() = 0;
};

class RealSystemActions : public SystemActions {
  public:
    void logOff() override;
    void restart() override;
    void shutDown() override;
};

SystemActions& systemActions();
void setSystemActions(SystemActions* implementation);  // not owned

}  // namespace bravel
