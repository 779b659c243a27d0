/* Compiled as C99 and as C++14 against the installed headers alone (see
 * CMakeLists.txt): a caller whose <limits.h> defines NZERO, the POSIX default
 * nice value, keeps that macro and reaches the record as WfNZero. */
#include <limits.h>

#include <wfcore/wfcore.h>

#ifndef NZERO
#error "including wfcore/wfcore.h removed the NZERO macro of <limits.h>"
#endif

int wf_header_check(void);
int wf_header_check(void) {
    WfNZero nzero = {NZERO};
    return (int)(sizeof(WfPump) + sizeof(MESH) + sizeof(WfOptions)) + nzero.NSKIP;
}
