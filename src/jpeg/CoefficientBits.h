#pragma once

// A progressive picture arrives bit by bit: for each coefficient of a
// component, the lowest bit delivered so far (-1 before any scan has
// carried it), as libjpeg keeps it in coef_bits. A picture is whole only
// when every coefficient of every component has come down to bit 0: a file
// cut after some scans, or with a scan taken out, decodes to a blur
// without any error, end marker or not.
bool everyCoefficientBitArrived(const int (&lowestBit)[64]);
