#pragma once

namespace pixorale {

// A first-order high-pass that removes a constant offset from one channel:
//   y[n] = x[n] - x[n-1] + kPole * y[n-1]
// With kPole = 0.9995 its corner lies at (1 - kPole) * 44100 / (2 pi), about 3.5 Hz: far
// below what is heard (MIDI's lowest note, 8.2 Hz, loses 0.7 dB; 20 Hz loses 0.13 dB), yet an
// offset dies away with a time constant of 45 ms. The state is kept in double so that
// rounding leaves no offset of its own.
class DcBlocker {
 public:
  static constexpr double kPole = 0.9995;

  float Filter(float in) {
    const double out = static_cast<double>(in) - previousIn_ + kPole * previousOut_;
    previousIn_ = in;
    previousOut_ = out;
    return static_cast<float>(out);
  }

 private:
  double previousIn_ = 0.0;
  double previousOut_ = 0.0;
};

}  // namespace pixorale
