/* Settings of the project's own build of the script engine, added to the
 * configuration that ships with the engine's single-file source.
 *
 * The execution-timeout hook lets a host stop a script that runs too long:
 * every few hundred thousand instructions the engine asks
 * duktape_engine_timed_out() with the heap's user data, and while it answers
 * non-zero the engine throws "RangeError: execution timeout", which no
 * script try/catch can hold. The host defines that function.
 */
#define DUK_USE_INTERRUPT_COUNTER
#define DUK_USE_EXEC_TIMEOUT_CHECK(udata) duktape_engine_timed_out(udata)
#if defined(__cplusplus)
extern "C"
#endif
duk_bool_t duktape_engine_timed_out(void *udata);
