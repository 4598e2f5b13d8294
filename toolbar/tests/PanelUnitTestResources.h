// Resource ids of the panel's unit tests.
#pragma once

#define IDD_TRIVIAL_CHILD 300
