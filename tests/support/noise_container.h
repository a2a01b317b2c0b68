#pragma once

// Noise containers are written beside real attachments now.
#include "support/attachments.h"
