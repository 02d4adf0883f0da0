/* Attribute reads and method calls through an object, with the lookup
 * cached per (class version, name).
 *
 * `lookup_cache_getattr(obj, name)` is `PyObject_GetAttr(obj, name)` and
 * `lookup_cache_call_method(name, args, nargsf)` is
 * `PyObject_VectorcallMethod(name, args, nargsf, NULL)`: same result, same
 * errors, same order of lookups (a data descriptor of the class, then the
 * instance's own attribute, then the class's). What they save is the
 * generic search. The class part of a lookup is remembered under the
 * class's version tag, which the host changes whenever the class or one of
 * its bases changes, and the instance part reads the instance's attribute
 * slot directly, the way the host's own specialised instructions do. A
 * method of the class is called without a bound method, a class method
 * with the class in place of the object.
 *
 * Anything the cache does not know (other kinds of objects, classes with
 * `__getattr__`, an instance dict replaced by hand, a class value whose
 * own class can change or that can be given another class, as a module
 * can) goes the generic way. The slot layout is the
 * host's own (3.11); it and the host rules the cache relies on are checked
 * when the module starts, and if they disagree, on another host version
 * (at run time), or with SWITCH_LOOKUP_CACHE=0 in the environment, every
 * call goes the generic way.
 */
#ifndef COMMON_LOOKUP_CACHE_H
#define COMMON_LOOKUP_CACHE_H

#include <Python.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calls one of the module's own functions with every argument by position. */
typedef PyObject* (*lookup_cache_direct_call)(PyObject* function, PyObject* const* args,
                                              Py_ssize_t nargs);

/* Reads SWITCH_LOOKUP_CACHE and checks the slot layout; 0 on success, -1
 * with the error set when the check itself failed or the variable holds
 * neither 0 nor 1. A disagreement only leaves the cache off.
 * `function_type` is the module's own function type, whose objects bind
 * to a class as the host's functions do, and `direct_call` calls them
 * without the host's generic call (both may be NULL). */
int lookup_cache_start(PyTypeObject* function_type, lookup_cache_direct_call direct_call);

PyObject* lookup_cache_getattr(PyObject* obj, PyObject* name);

/* `PyObject_SetAttr(obj, name, value)`; a value stored on an instance
 * goes straight into its attribute slot when the class has no data
 * descriptor of the name. */
int lookup_cache_setattr(PyObject* obj, PyObject* name, PyObject* value);

/* args[0] is the object; no keyword arguments. */
PyObject* lookup_cache_call_method(PyObject* name, PyObject* const* args, size_t nargsf);

#ifdef __cplusplus
}
#endif

#endif
