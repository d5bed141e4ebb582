// A number rounded up, never to nearest: an f-number printed so that it
// always reaches what it stands for.
#pragma once

namespace velmo {

/// The least decimal of `digits` significant digits (1 to 9) that is not
/// below `x`; as the double nearest that decimal, which every text of that
/// many digits writes as the decimal itself. 15.6514 gives 15.7, 8 stays 8,
/// the double just above 8 gives 8.01. A value outside the tables' range
/// (1E-9 up to below 1E17), zero and negatives included, stays as it is.
double RoundUpToSignificant(double x, int digits);

/// The same for a computed value, whose last few bits are the rounding of
/// the steps that made it: a value less than 2^-45 of itself above a
/// decimal of `digits` digits is taken for that decimal. Where the exact
/// value is a round decimal (f/62.5 thousand from 600 mm, 0.03 mm, 1.5 ft
/// to 5 ft), a computation from its doubles lands a hair on either side;
/// the hair is no part of any zone, the next decimal up would be.
double RoundUpComputed(double x, int digits);

}  // namespace velmo
