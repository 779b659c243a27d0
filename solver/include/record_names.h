/* Included first in every source file of the tree (see the top CMakeLists.txt).
 *
 * POSIX <limits.h> defines NZERO, the default nice value, as a macro; the tree
 * uses NZERO as the name of the record of skipped observations (WfNZero). The
 * macro is removed once here, after <limits.h> has been read, so that no later
 * inclusion defines it again. The installed wfcore headers do not do this: a
 * caller whose <limits.h> defines NZERO uses the record's prefixed name. */
#ifndef WF_RECORD_NAMES_H
#define WF_RECORD_NAMES_H

#include <limits.h>

#ifdef NZERO
#undef NZERO
#endif

#endif /* WF_RECORD_NAMES_H */
