// Command-line input and output for commands: prompts, replies, messages.
//
// Every prompt and message is wide text; a "\n" in it is a line break on the
// command line. The getters return RTNORM with a value, RTKWORD when an armed
// keyword was typed (acedGetInput gives it), RTNONE for Enter on an empty line,
// RTCAN when the user cancelled. Replies the getter cannot take are refused by
// the host, which says why and asks again; the caller never sees them.
#pragma once

#include "adsdef.h"

// Arms the next input call with flags (RSG_*) and space-separated keywords.
ORV_SDK_API int acedInitGet(int flags, const ACHAR* keywords);

// A point: "x,y", "x,y,z", "@dx,dy" (relative to the last point) or "@d<a"
// (polar, degrees). basePoint may be null; with one, the host draws a rubber
// band from it where it can.
ORV_SDK_API int acedGetPoint(const ads_point basePoint, const ACHAR* prompt, ads_point result);
ORV_SDK_API int acedGetReal(const ACHAR* prompt, ads_real* result);
// A whole number from -32768 to 32767.
ORV_SDK_API int acedGetInt(const ACHAR* prompt, int* result);
// A line of text. With cronly 0 the reply ends at its first blank; otherwise
// blanks are part of it. An empty reply gives RTNORM with empty text. A reply
// longer than bufLen - 1 characters is refused and asked again.
ORV_SDK_API int acedGetString(int cronly, const ACHAR* prompt, ACHAR* result, size_t bufLen);
// The keyword of the last input call that returned RTKWORD, as it was armed.
ORV_SDK_API int acedGetInput(ACHAR* str, size_t bufLen);

// Picks one entity of the current drawing by a point: the entity nearest to it
// within the pick distance, the newest on a tie. RTERROR when nothing is there.
ORV_SDK_API int acedEntSel(const ACHAR* prompt, ads_name entity, ads_point pickedPoint);

// Writes to the command line. The format is a wide printf format:
// use %ls for wide strings and %s for narrow ones.
ORV_SDK_API int acutPrintf(const ACHAR* format, ...);
// A modal alert box with one OK button.
ORV_SDK_API int acedAlert(const ACHAR* text);

// The angle of the direction from pt1 to pt2 in the x-y plane, in [0, 2*pi).
ORV_SDK_API ads_real acutAngle(const ads_point pt1, const ads_point pt2);
// The distance between two points in three dimensions.
ORV_SDK_API ads_real acutDistance(const ads_point pt1, const ads_point pt2);
