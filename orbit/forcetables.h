// Constant coefficient tables of the force model (see forcetables.cpp).
#ifndef VORLIX_ORBIT_FORCETABLES_H
#define VORLIX_ORBIT_FORCETABLES_H

// Unnormalised geopotential coefficients, degree n = 2..20, order m = 0..n, at
// element n(n+1)/2 + m - 3.
extern const double GravC[228];
extern const double GravS[228];
// Jacchia 1971 density fits: 8 sets of 30, set = 2 band + hot, element 5 i + j.
extern const double JacFit[240];

#endif
