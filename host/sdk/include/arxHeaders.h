// Everything a module of the orvcad SDK may include, in one header.
#pragma once

#include "AcRxArxApp.h"
#include "acadstrc.h"
#include "accmd.h"
#include "acedads.h"
#include "adesk.h"
#include "adsdef.h"
#include "dbents.h"
#include "dbmain.h"
#include "dbpl.h"
#include "dbsymtb.h"
#include "gept.h"
#include "rxdefs.h"
#include "winapi.h"
