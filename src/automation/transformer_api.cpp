// C entry points of the array conversion: the transformer handle and the batch grid factors.
#include <cstdint>

#include "automation/boundary.hpp"
#include "lantrel/transformer.hpp"

using lantrel::automation::FromBool;
using lantrel::automation::Guard;
using lantrel::automation::GuardArray;
using lantrel::automation::ListOf;
using lantrel::automation::GuardOut;
using lantrel::automation::Out;
using lantrel::automation::RaiseLayer;

static_assert(LANTREL_ARRAY_THREAD_THRESHOLD == lantrel::kArrayThreadThreshold);

// A transformer handle owns its immutable transformer; it is not reference-counted.
struct lantrel_transformer {
  lantrel::Transformer object;
};

extern "C" {

int32_t lantrel_transformer_create(int32_t from_projection, int32_t from_datum,
                                   int32_t from_units, int32_t to_projection, int32_t to_datum,
                                   int32_t to_units, lantrel_bool west_positive,
                                   lantrel_transformer** out) {
  return GuardOut(out, [&] {
    auto** target = Out(out);
    *target = new lantrel_transformer{
        lantrel::Transformer({from_projection, from_datum, from_units},
                             {to_projection, to_datum, to_units}, FromBool(west_positive))};
  });
}

void lantrel_transformer_release(lantrel_transformer* transformer) { delete transformer; }

int32_t lantrel_transformer_transform(const lantrel_transformer* transformer, size_t count,
                                      const double* x, const double* y, double* out_x,
                                      double* out_y, int32_t* status) {
  return lantrel_transformer_transform_detailed(transformer, count, x, y, out_x, out_y, status,
                                                nullptr);
}

int32_t lantrel_transformer_transform_detailed(const lantrel_transformer* transformer,
                                               size_t count, const double* x, const double* y,
                                               double* out_x, double* out_y, int32_t* status,
                                               lantrel_point_errors* errors) {
  return lantrel_transformer_transform_threaded(transformer, count, x, y, out_x, out_y, status,
                                                errors, 1);
}

int32_t lantrel_transformer_transform_threaded(const lantrel_transformer* transformer,
                                               size_t count, const double* x, const double* y,
                                               double* out_x, double* out_y, int32_t* status,
                                               lantrel_point_errors* errors, uint32_t threads) {
  return GuardArray(errors, [&] {
    if (errors != nullptr) errors->object.Clear();
    if (transformer == nullptr) RaiseLayer(91);
    transformer->object.Transform(count, x, y, out_x, out_y, status, ListOf(errors), threads);
  });
}

int32_t lantrel_factors(int32_t projection, int32_t datum, int32_t units,
                        lantrel_bool west_positive, size_t count, const double* x,
                        const double* y, double* scale_factor, double* convergence,
                        int32_t* status) {
  return lantrel_factors_detailed(projection, datum, units, west_positive, count, x, y,
                                  scale_factor, convergence, status, nullptr);
}

int32_t lantrel_factors_detailed(int32_t projection, int32_t datum, int32_t units,
                                 lantrel_bool west_positive, size_t count, const double* x,
                                 const double* y, double* scale_factor, double* convergence,
                                 int32_t* status, lantrel_point_errors* errors) {
  return lantrel_factors_threaded(projection, datum, units, west_positive, count, x, y,
                                  scale_factor, convergence, status, errors, 1);
}

int32_t lantrel_factors_threaded(int32_t projection, int32_t datum, int32_t units,
                                 lantrel_bool west_positive, size_t count, const double* x,
                                 const double* y, double* scale_factor, double* convergence,
                                 int32_t* status, lantrel_point_errors* errors,
                                 uint32_t threads) {
  return GuardArray(errors, [&] {
    lantrel::GridFactors({projection, datum, units}, FromBool(west_positive), count, x, y,
                         scale_factor, convergence, status, ListOf(errors), threads);
  });
}

}  // extern "C"
