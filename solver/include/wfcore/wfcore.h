/* The solver library's public entry: wftDLL and the host hook.
 *
 * wfcore exports these three functions. wftDLL runs one computation
 * (mesh, data preparation or analysis) synchronously on the caller's thread;
 * wfSetHost installs the functions through which the solver shows its progress
 * list, polls for Cancel and shows its message boxes. Without a host the
 * solver prints progress lines and message boxes to the terminal. wfSetOptions
 * installs the options of the analysis beyond the plain search. The wfLive
 * functions run the project's model in memory for live curve matching.
 *
 * The headers are plain C (C99) and C++ from C++14 on; the records keep their
 * layout checks and default values for C++ callers.
 */
#ifndef WFCORE_WFCORE_H
#define WFCORE_WFCORE_H

#include "wfcore/options.h"
#include "wfcore/records.h"

#if defined(_WIN32)
#  define WF_CALL __stdcall
#  if defined(WFCORE_BUILD)
#    define WF_API __declspec(dllexport)
#  else
#    define WF_API __declspec(dllimport)
#  endif
#else
#  define WF_CALL
#  define WF_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Run modes of wftDLL. */
enum { WF_MODE_MESH = 4, WF_MODE_PREPARE = 5, WF_MODE_ANALYSIS = 6 };

/* Runs one computation. mode 4: mesh (type 0 uniform rows, else graded);
 * mode 5: data preparation (type = number of times to select, 0 = all);
 * mode 6: analysis (type 0 optimisation, 1 fixed time, 2 prediction).
 * All eight addresses must be valid in every call. */
WF_API void WF_CALL wftDLL(int32_t mode, int32_t type, WfFilename* filename, WfMesh* mesh, WfObsv* obsv,
                           WfPump* pump, WfGuess* guess, WfPinit* pinit, WfUnits* units, WfNZero* nzero);

/* The host of the solver's progress window and message boxes.
 * Every function pointer may be null (that part is then ignored). */
typedef struct WfHost {
    void* context;
    /* The progress list changed. code is the list operation that was carried out
     * (0 cleared and added the first line, 1 replaced the last line, 2 appended;
     * negative: the same without repainting). lines[0..count-1] is the whole list
     * after the change; text is the line that was added. */
    void (*progress)(void* context, int32_t code, const char* text, const char* const* lines, int32_t count);
    /* Show the progress window (start of every run except mesh and preparation). */
    void (*showWindow)(void* context);
    /* Return 1 when a press on "Cancel" is waiting (and consume it), else 0. */
    int32_t (*pollCancel)(void* context);
    /* Show a modal message box with caption "Error" or "Information" and an OK button. */
    void (*messageBox)(void* context, const char* caption, const char* text);
} WfHost;

/* Installs a host (copied); null restores the terminal host. */
WF_API void WF_CALL wfSetHost(const WfHost* host);

/* Installs the analysis options (copied; the report pointer is kept) for the
 * following calls; null restores the plain search (wfcore/options.h). A
 * record whose size is below its first two fields, or whose version is 0, is
 * refused with an error box and the options stay as they were. */
WF_API void WF_CALL wfSetOptions(const WfOptions* options);

/* The plain-language verdict of the last fit report (UTF-8). Copies at most
 * capacity - 1 bytes into buffer, never cutting a character, and a closing
 * NUL; returns the verdict's whole length in bytes (0 when the last analysis
 * made no report). buffer may be null when capacity is 0. */
WF_API int32_t WF_CALL wfFitVerdict(char* buffer, int32_t capacity);

/* Live matching: the project's model held open in memory and run at one
 * parameter vector after another, with no side file written.
 *
 * wfLiveOpen reads the model input from the working directory as a
 * fixed-time analysis run (mode 6, type 1) reads it: the records, the
 * observation, model-control and mesh files; options (may be null) choose the
 * model and the points' weights. It returns a handle also when the input is
 * refused (then wfLiveShape returns 0 and wfLiveMessage says why); null only
 * without memory. No message box is shown and the library's own run state
 * (wftDLL's) is not touched: each handle has its own. One handle serves one
 * thread at a time; distinct handles may run at once. */
typedef struct WfLiveModel WfLiveModel;
WF_API WfLiveModel* WF_CALL wfLiveOpen(const WfFilename* filename, const WfMesh* mesh, const WfObsv* obsv,
                                       const WfPump* pump, const WfGuess* guess, const WfPinit* pinit,
                                       const WfUnits* units, const WfNZero* nzero, const WfOptions* options);
/* 1 when the model is open, with the number of observation points and of time
 * levels per point (the simulation file's two counts); else 0. */
WF_API int32_t WF_CALL wfLiveShape(const WfLiveModel* model, int32_t* points, int32_t* levels);
/* One simulation at the multipliers P(1..4) = multipliers[0..3] (GUESS.P0's
 * meaning). Fills times (input-time unit) and drawdowns of points x levels
 * records in the simulation file's order and with its digits - the values a
 * fixed-time run at these multipliers writes into {base}.inv - and, when not
 * null, errorEstimate with the search's sum of squared residuals. Returns the
 * number of records, or 0 when the run failed or capacity is too small
 * (wfLiveMessage says why). */
WF_API int32_t WF_CALL wfLiveRun(WfLiveModel* model, const double* multipliers, double* times, double* drawdowns,
                                 int32_t capacity, double* errorEstimate);
/* The pumped well of a fine model opened with a well radius: its skin factor
 * (dimensionless) and casing radius (distance unit) for the following runs, in
 * place of the options' values. Returns 1, or 0 when the model has no well or
 * the values cannot be taken (wfLiveMessage says why). */
WF_API int32_t WF_CALL wfLiveSetWell(WfLiveModel* model, double skin, double casingRadius);
/* The message of the last refusal or failure (UTF-8), copied as wfFitVerdict
 * copies; returns its whole length (0: none). */
WF_API int32_t WF_CALL wfLiveMessage(const WfLiveModel* model, char* buffer, int32_t capacity);
/* Frees the handle (null is ignored). */
WF_API void WF_CALL wfLiveClose(WfLiveModel* model);

#ifdef __cplusplus
}
#endif

#endif /* WFCORE_WFCORE_H */
