// The model as the integrator's right-hand side: the integrator's calls with
// EvaluateDerivatives on the given driver and parameter tables, through one
// derivative frame for all the evaluations of a call.
#pragma once

#include <cstdint>

#include "core/stypes.h"
#include "integrator/integrator.h"

void RK4Step(const valuearray& Y, const valuearray& DYDX, std::int32_t N, double X, double H, valuearray& YOut,
             const driverarray& Drivers, const paramarray& Params);
void RKQualityControl(valuearray& Y, valuearray& DYDX, std::int32_t N, double& X, double HTry, double Eps,
                      const valuearray& YScale, double& HDid, double& HNext, const driverarray& Drivers,
                      const paramarray& Params);
void ODEIntegrator(valuearray& YStart, std::int32_t NVar, double& H1, double X1, double X2, double Eps, double HMin,
                   std::int32_t& NOk, std::int32_t& NBad, const driverarray& Drivers, const paramarray& Params,
                   IntegratorStats* stats = nullptr);
