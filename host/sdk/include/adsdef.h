// Values of the command-line input functions: points, names and result codes.
#pragma once

#include "adesk.h"

typedef double ads_real;
typedef ads_real ads_point[3];
typedef Adesk::LongPtr ads_name[2];
typedef ads_real* ads_pointp;

enum { X = 0, Y = 1, Z = 2 };

// Result codes of the input and entity functions.
#define RTNONE 5000   // no result: Enter on an empty line
#define RTREAL 5001
#define RTPOINT 5002
#define RTSHORT 5003
#define RTANG 5004
#define RTSTR 5005
#define RTENAME 5006
#define RTPICKS 5007
#define RTORINT 5008
#define RT3DPOINT 5009
#define RTLONG 5010
#define RTNORM 5100   // request succeeded
#define RTERROR (-5001)  // call failed
#define RTCAN (-5002)    // cancelled by the user
#define RTREJ (-5003)    // request rejected as invalid
#define RTFAIL (-5004)   // link to the host failed
#define RTKWORD (-5005)  // a keyword was typed; acedGetInput returns it
#define RTINPUTTRUNCATED (-5008)  // the reply did not fit the caller's buffer

// acedInitGet flags.
#define RSG_NONULL 0x0001  // refuse an empty reply
#define RSG_NOZERO 0x0002  // refuse zero
#define RSG_NONEG 0x0004   // refuse negative values
#define RSG_NOLIM 0x0008
#define RSG_GETZ 0x0010
#define RSG_DASH 0x0020
#define RSG_2D 0x0040
#define RSG_OTHER 0x0080   // any reply that is not of the asked kind is returned as a keyword
