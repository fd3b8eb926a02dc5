// The controller's sequence: the commands it takes and its phases from standby
// through the start, running and on load to the stop.

#include "engine.h"

#include <algorithm>
#include <cmath>

namespace gxsim {

void Engine::beginStart()
{
    startFlag_ = true;
    startNum_ = 1;
    phase_ = Phase::Preheat;
    phaseMs_ = int(profile_.timer(TPreheat)) * 100;
}

void Engine::beginStop()
{
    fuel_ = false;
    startFlag_ = false;
    startDelayOver_ = false;
    manLoad_ = false;
    if (rpm_ <= 0 && !fired_) {
        phase_ = Phase::Standby;
        return;
    }
    stopOutput_ = true;
    stopHoldMs_ = -1;
    phase_ = Phase::Stopping;
}

void Engine::goOnLoad()
{
    if (atsSupport()) {
        phase_ = Phase::Transfer;
        phaseMs_ = int(profile_.timer(TContactor)) * 100;
    } else {
        phase_ = Phase::OnLoad;
        loadCycle_ = true;
    }
}

void Engine::command(Command c)
{
    const bool startingOrRunning = phase_ != Phase::Standby && phase_ != Phase::StartDelay
        && phase_ != Phase::Stopping && phase_ != Phase::Shutdown;
    switch (c) {
    case Command::GenStart:
        if (mode_ == Mode::Man)
            command(Command::ManStart);
        else if (mode_ == Mode::Auto)
            pcStart_ = true;
        break;
    case Command::GenStop:
        pcStart_ = false;
        testRunMs_ = 0;
        if (mode_ == Mode::Man)
            command(Command::ManStop);
        break;
    case Command::Reload:
        if (mode_ == Mode::Man && running())
            manLoad_ = true;
        break;
    case Command::RemoteTest:
        if (mode_ == Mode::Auto)
            testRunMs_ = std::max(1, int(profile_.sysValue(SRemoteTestTime))) * 60000;
        break;
    case Command::FaultReset:
        faultCode_ = 0;
        faultShutdown_ = false;
        if (phase_ == Phase::Shutdown)
            phase_ = stopOutput_ ? Phase::Stopping : Phase::Standby;
        break;
    case Command::OutputA: outputA_ = !outputA_; break;
    case Command::OutputB: outputB_ = !outputB_; break;
    case Command::ManMode:
        mode_ = Mode::Man;
        if (phase_ == Phase::StartDelay)
            phase_ = Phase::Standby;
        break;
    case Command::AutoMode:
        mode_ = Mode::Auto;
        manLoad_ = false;
        break;
    case Command::OffMode:
        mode_ = Mode::Off;
        pcStart_ = false;
        testRunMs_ = 0;
        if (startingOrRunning)
            beginStop();
        else if (phase_ == Phase::StartDelay)
            phase_ = Phase::Standby;
        break;
    case Command::ManStart:
        if (mode_ == Mode::Man && phase_ == Phase::Standby && !faultShutdown_)
            beginStart();
        break;
    case Command::ManStop:
        if (mode_ == Mode::Man && startingOrRunning)
            beginStop();
        break;
    }
}

void Engine::sequence(int dt)
{
    mainsFailMs_ = mainsPresent_ ? 0 : mainsFailMs_ + dt;
    if (testRunMs_ > 0)
        testRunMs_ = std::max(0, testRunMs_ - dt);
    if (chargeStartMs_ > 0 && fired_)
        chargeStartMs_ = std::max(0, chargeStartMs_ - dt);
    const unsigned chargeStartV = profile_.sysValue(SChargeStartVolts);
    if (mode_ == Mode::Auto && phase_ == Phase::Standby && chargeStartMs_ == 0 && chargeStartV > 0
        && batteryTenths() < int(chargeStartV) * 10)
        chargeStartMs_ = std::max(1, int(profile_.sysValue(SChargeStartPeriod))) * 60000;

    if (running()) {
        overrideMs_ = std::max(0, overrideMs_ - dt);
        warmupMs_ = std::max(0, warmupMs_ - dt);
    }
    if (stopOutput_) {
        if (stopHoldMs_ < 0) {
            if (rpm_ <= 0) // the engine has stopped: the hold time starts now
                stopHoldMs_ = int(profile_.timer(TEnergiseToStop)) * 100;
        } else {
            stopHoldMs_ = std::max(0, stopHoldMs_ - dt);
        }
        if (stopHoldMs_ == 0) {
            stopOutput_ = false;
            stopHoldMs_ = -1;
        }
    }

    const auto countdown = [&] {
        phaseMs_ -= dt;
        return phaseMs_ <= 0;
    };
    const bool startPhase = phase_ == Phase::Preheat || phase_ == Phase::Crank || phase_ == Phase::CrankRest;
    if (startPhase && (mode_ == Mode::Off || (mode_ == Mode::Auto && !runDemand()))) {
        beginStop();
        return;
    }

    switch (phase_) {
    case Phase::Standby:
        if (runDemand() && !faultShutdown_) {
            phase_ = Phase::StartDelay;
            phaseMs_ = int(profile_.timer(TStartDelay)) * 100;
        }
        break;
    case Phase::StartDelay:
        if (!runDemand()) {
            phase_ = Phase::Standby;
        } else if (countdown()) {
            startDelayOver_ = true;
            beginStart();
        }
        break;
    case Phase::Preheat:
        if (countdown()) {
            phase_ = Phase::Crank;
            phaseMs_ = int(profile_.timer(TCrank)) * 100;
            fuel_ = true;
            crankedMs_ = 0;
        }
        break;
    case Phase::Crank: {
        const bool mpu = profile_.swSwitch(WMagneticPickup) == 0;
        const bool disconnect = fired_
            && (mpu ? rpm_ >= profile_.sysValue(SCrankDisconnectRpm)
                    : frequency() >= int(profile_.sysValue(SCrankDisconnectHz)));
        if (disconnect) {
            phase_ = Phase::Running;
            startFlag_ = false;
            loadCycle_ = false;
            overrideMs_ = int(profile_.timer(TOverride)) * 100;
            warmupMs_ = int(profile_.timer(TWarmup)) * 100;
        } else if (countdown()) {
            fuel_ = false;
            fired_ = false;
            rpm_ = 0;
            if (startNum_ >= std::max(1, int(profile_.sysValue(SStartAttempts)))) {
                shutdown(fault::FailedToStart);
            } else {
                ++startNum_;
                phase_ = Phase::CrankRest;
                phaseMs_ = int(profile_.timer(TCrankRest)) * 100;
            }
        }
        break;
    }
    case Phase::CrankRest:
        if (countdown()) {
            phase_ = Phase::Preheat;
            phaseMs_ = int(profile_.timer(TPreheat)) * 100;
        }
        break;
    case Phase::Running:
        if (mode_ == Mode::Auto) {
            if (loadDemand() && warmupOver())
                goOnLoad();
            else if (!runDemand()) {
                phase_ = Phase::Cooling;
                phaseMs_ = int(profile_.timer(TCooling)) * 100;
            }
        } else if (mode_ == Mode::Man && warmupOver() && (manLoad_ || profile_.swSwitch(WLoadInMan) == 1)) {
            goOnLoad();
        }
        break;
    case Phase::Transfer:
        if (mode_ == Mode::Auto && !loadDemand())
            phase_ = Phase::Running;
        else if (countdown()) {
            phase_ = Phase::OnLoad;
            loadCycle_ = true;
        }
        break;
    case Phase::OnLoad:
        if (mode_ == Mode::Auto && !loadDemand()) {
            phase_ = Phase::Restoration;
            phaseMs_ = int(profile_.timer(TRestoration)) * 100;
        } else if (mode_ == Mode::Man && !manLoad_ && profile_.swSwitch(WLoadInMan) != 1) {
            phase_ = Phase::Running;
        }
        break;
    case Phase::Restoration:
        if (mode_ != Mode::Auto || loadDemand()) {
            phase_ = Phase::OnLoad;
        } else if (countdown()) {
            phase_ = Phase::Cooling;
            phaseMs_ = int(profile_.timer(TCooling)) * 100;
        }
        break;
    case Phase::Cooling:
        if (mode_ == Mode::Man) {
            phase_ = Phase::Running;
        } else if (loadDemand()) {
            goOnLoad();
        } else if (runDemand()) {
            phase_ = Phase::Running;
        } else if (countdown()) {
            beginStop();
        }
        break;
    case Phase::Stopping:
        if (!stopOutput_)
            phase_ = Phase::Standby;
        break;
    case Phase::Shutdown:
        break;
    }
}

} // namespace gxsim
