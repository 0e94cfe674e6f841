#include "run/model_integration.h"

#include "model/derivative_frame.h"

namespace {

// One derivative frame for all the evaluations of one call. Every evaluation
// of a whole interval follows a reading of the fault flags that found them
// clear (or their clearing), with nothing computed in between, so the frame
// need not read them again.
struct ModelRhs {
    mutable DerivativeFrame frame;

    ModelRhs(const driverarray& drivers, const paramarray& params) : frame(drivers, params) {}
    void operator()(const valuearray& y, double t, valuearray& dydx) const { frame.EvaluateFromClearFlags(y, t, dydx); }
};

}  // namespace

void RK4Step(const valuearray& Y, const valuearray& DYDX, std::int32_t N, double X, double H, valuearray& YOut,
             const driverarray& Drivers, const paramarray& Params) {
    RK4Step(Y, DYDX, N, X, H, YOut, ModelRhs(Drivers, Params));
}

void RKQualityControl(valuearray& Y, valuearray& DYDX, std::int32_t N, double& X, double HTry, double Eps,
                      const valuearray& YScale, double& HDid, double& HNext, const driverarray& Drivers,
                      const paramarray& Params) {
    RKQualityControl(Y, DYDX, N, X, HTry, Eps, YScale, HDid, HNext, ModelRhs(Drivers, Params));
}

void ODEIntegrator(valuearray& YStart, std::int32_t NVar, double& H1, double X1, double X2, double Eps, double HMin,
                   std::int32_t& NOk, std::int32_t& NBad, const driverarray& Drivers, const paramarray& Params,
                   IntegratorStats* stats) {
    ModelRhs model(Drivers, Params);
    ODEIntegrator(YStart, NVar, H1, X1, X2, Eps, HMin, NOk, NBad, DerivativeFunction(model), stats,
                  RhsFlags::ClearBeforeEachStep);
}
