// Everything tarvox.dll exports.
#pragma once

#include <tarvox/autocad.h>
#include <tarvox/export.h>
#include <tarvox/folders.h>
#include <tarvox/full_cfg.h>
#include <tarvox/modules.h>
#include <tarvox/object.h>
#include <tarvox/registry.h>
#include <tarvox/config.h>
#include <tarvox/ui.h>
#include <tarvox/xml.h>
