// A sensor model's state as bytes, for a model that lives in another process: a copy is made
// from them, changed, and its bytes loaded back. Everything a test sets or reads is in them; the
// drift's random state is not, so the model they are loaded into wanders on as it would have.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sensor_model.h"

namespace sim {

struct SensorModelState {
    static std::vector<std::uint8_t> Save(const SensorModel& model);
    // False, leaving the model as it was, for bytes Save did not make.
    static bool Load(SensorModel& model, std::span<const std::uint8_t> bytes);

private:
    // Visits the fields in their order in the bytes; the same list saves and loads them.
    template <typename Model, typename Visit>
    static void Fields(Model& model, Visit&& visit);
};

}  // namespace sim
