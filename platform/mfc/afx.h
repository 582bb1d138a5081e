// The class library as the system's code uses it: strings, files, archives,
// collections, synchronisation and the message box.
#pragma once
#include "platform/mfc/archive.h"
#include "platform/mfc/collections.h"
#include "platform/mfc/cstring.h"
#include "platform/mfc/datetime.h"
#include "platform/mfc/exception.h"
#include "platform/mfc/file.h"
#include "platform/mfc/mem_file.h"
#include "platform/mfc/message_box.h"
#include "platform/mfc/object.h"
#include "platform/mfc/sync.h"
