/* See lookup_cache.h. Written in C because it reads the host's dict and
 * instance layout, which its internal headers describe in C only. */
#include <patchlevel.h>

/* The internal headers are read for the 3.11 layout only. */
#if PY_VERSION_HEX >= 0x030B0000 && PY_VERSION_HEX < 0x030C0000
#define LOOKUP_CACHE_LAYOUT 1
#define Py_BUILD_CORE 1
#endif

#include "common/lookup_cache.h"

#ifdef LOOKUP_CACHE_LAYOUT
#include <internal/pycore_dict.h>
#include <internal/pycore_object.h>
#endif

#include <stdlib.h>
#include <string.h>

static int enabled = 0;

/* Whether the environment lets the cache run: SWITCH_LOOKUP_CACHE=0 turns
 * it off, 1 (or unset, or empty) leaves it on; -1 with the error set for
 * any other value, so that a mistyped switch is not taken for either. */
static int cache_wanted(void) {
  const char* setting = getenv("SWITCH_LOOKUP_CACHE");
  if (!setting || !*setting || strcmp(setting, "1") == 0) return 1;
  if (strcmp(setting, "0") == 0) return 0;
  PyErr_Format(PyExc_ValueError,
               "SWITCH_LOOKUP_CACHE must be 0 (lookup cache off) or 1 (on), not '%s'", setting);
  return -1;
}

#ifndef LOOKUP_CACHE_LAYOUT

int lookup_cache_start(PyTypeObject* function_type, lookup_cache_direct_call direct_call) {
  (void)function_type;
  (void)direct_call;
  return cache_wanted() < 0 ? -1 : 0;
}

PyObject* lookup_cache_getattr(PyObject* obj, PyObject* name) {
  return PyObject_GetAttr(obj, name);
}

PyObject* lookup_cache_call_method(PyObject* name, PyObject* const* args, size_t nargsf) {
  return PyObject_VectorcallMethod(name, args, nargsf, NULL);
}

int lookup_cache_setattr(PyObject* obj, PyObject* name, PyObject* value) {
  return PyObject_SetAttr(obj, name, value);
}

#else

/* Where the name is looked up: on an instance of a class (the class, then
 * the instance's own attributes), on a class itself, or on an instance to
 * store a value. */
enum { ON_INSTANCE = 1, ON_CLASS = 2, STORE = 3 };

/* What the class lookup found. */
enum {
  FOUND_GENERIC = 0,  /* not cacheable: the generic way */
  FOUND_NOTHING,
  FOUND_VALUE,        /* a plain class attribute */
  FOUND_METHOD,       /* a function that binds to instances */
  FOUND_CLASSMETHOD,  /* a class method over such a function */
  FOUND_DESCRIPTOR,   /* any other non-data descriptor */
  FOUND_DATA,         /* a data descriptor (a property) */
};

/* 32 bytes, two to a cache line: the table is read on every call. */
typedef struct {
  unsigned int tag;    /* the class's version tag when the entry was made */
  unsigned char where;
  unsigned char found;
  short index;         /* the name's slot in the class's shared keys, or -1 */
  int entries;         /* the shared keys' entries when the name was not among them */
  PyObject* name;      /* strong: the key must not be reused while here */
  PyObject* descr;     /* borrowed: the class keeps it while the tag holds */
} Entry;

#define CACHE_BITS 10
static Entry cache[1 << CACHE_BITS];

static inline Entry* slot_of(unsigned int tag, PyObject* name, int where) {
  size_t hash = (size_t)tag * 0x9E3779B1u ^ ((size_t)name >> 4) ^ (size_t)where;
  return &cache[hash & ((1u << CACHE_BITS) - 1)];
}

static inline int same_text(PyObject* key, PyObject* name) {
  return key == name || (PyUnicode_CheckExact(key) && PyUnicode_Compare(key, name) == 0);
}

/* The name's entry in the shared keys, or -1. */
static Py_ssize_t key_index(PyDictKeysObject* keys, PyObject* name) {
  PyDictUnicodeEntry* entries = DK_UNICODE_ENTRIES(keys);
  for (Py_ssize_t i = 0; i < keys->dk_nentries; ++i) {
    if (entries[i].me_key && same_text(entries[i].me_key, name)) return i;
  }
  return -1;
}

/* The instance's attribute slots, laid out as the class's shared keys:
 * its own value array, or the split dict made from it once something
 * asked for `__dict__`. NULL when the instance keeps a dict of its own. */
static inline PyObject** slots_of(PyObject* obj, PyDictKeysObject* keys) {
  PyDictValues* values = *_PyObject_ValuesPointer(obj);
  if (values) return values->values;
  PyDictObject* dict = (PyDictObject*)*_PyObject_ManagedDictPointer(obj);
  if (dict && Py_IS_TYPE(dict, &PyDict_Type) && dict->ma_keys == keys && dict->ma_values) {
    return dict->ma_values->values;
  }
  return NULL;
}

/* Functions whose binding to a class makes a plain bound method: a class
 * method over one calls it with the class first. */
static PyTypeObject* own_function_type = NULL;
static lookup_cache_direct_call own_call = NULL;

static int binds_like_function(PyObject* function) {
  return PyFunction_Check(function) ||
         (own_function_type && Py_IS_TYPE(function, own_function_type));
}

/* `function(*args)`: the module's own functions straight, others by the
 * host's call. */
static inline PyObject* call_function(PyObject* function, PyObject* const* args, size_t nargsf) {
  if (own_call && Py_IS_TYPE(function, own_function_type)) {
    return own_call(function, args, PyVectorcall_NARGS(nargsf));
  }
  return PyObject_Vectorcall(function, args, nargsf, NULL);
}

/* A class method's function, read where the host keeps it (its first
 * field; checked when the cache starts): read at each call, so a class
 * method given a new function is followed. */
static inline PyObject* classmethod_function(PyObject* descr) {
  return *(PyObject**)((char*)descr + sizeof(PyObject));
}

/* Whether what `value` is (plain value, descriptor, data descriptor) can
 * change: its class may be changed, or the value moved to another class.
 * The host lets `__class__` be reassigned only between mutable classes, or
 * between module classes, so a module qualifies even though the host's
 * module type cannot change. */
static inline int kind_can_change(PyObject* value) {
  return !PyType_HasFeature(Py_TYPE(value), Py_TPFLAGS_IMMUTABLETYPE) || PyModule_Check(value);
}

/* Makes no call that could run code: an entry is written in one go. */
static void classify(Entry* e, PyObject* descr) {
  e->descr = descr;
  if (!descr) {
    e->found = FOUND_NOTHING;
    return;
  }
  PyTypeObject* type = Py_TYPE(descr);
  if (type == &PyClassMethod_Type) {
    PyObject* function = classmethod_function(descr);
    e->found = function && binds_like_function(function) ? FOUND_CLASSMETHOD : FOUND_DESCRIPTOR;
  } else if (PyType_HasFeature(type, Py_TPFLAGS_METHOD_DESCRIPTOR)) {
    e->found = FOUND_METHOD;
  } else if (!type->tp_descr_get) {
    e->found = FOUND_VALUE;
  } else if (type->tp_descr_set) {
    e->found = FOUND_DATA;
  } else {
    e->found = FOUND_DESCRIPTOR;
  }
}

/* Makes the entry of `name` on `obj` (an instance, or a class when `where`
 * is ON_CLASS); NULL when the lookup cannot be cached. Never fails, and
 * runs no code of the host's: the entry it gives stays as it is until the
 * caller next runs any. */
__attribute__((noinline, cold)) static Entry* fill(PyObject* obj, PyObject* name, int where) {
  if (!enabled || !PyUnicode_CheckExact(name)) return NULL;
  PyTypeObject* type = where == ON_CLASS ? (PyTypeObject*)obj : Py_TYPE(obj);
  PyDictKeysObject* keys = NULL;
  /* Also gives the class a version tag when it has none. */
  PyObject* descr = _PyType_Lookup(type, name);
  int generic = 0;
  if (where == ON_CLASS) {
    /* `Cls.name` where Cls's metaclass is `type`: `type`'s own attribute
     * of that name counts only when the class has none, or when it is a
     * data descriptor; either way the generic lookup answers. */
    PyObject* meta = _PyType_Lookup(&PyType_Type, name);
    generic = meta && (Py_TYPE(meta)->tp_descr_set || !descr);
  } else if ((where == STORE ? type->tp_setattro != PyObject_GenericSetAttr
                             : type->tp_getattro != PyObject_GenericGetAttr) ||
             !PyType_HasFeature(type, Py_TPFLAGS_MANAGED_DICT) ||
             !PyType_HasFeature(type, Py_TPFLAGS_HEAPTYPE)) {
    generic = 1;
  } else {
    keys = ((PyHeapTypeObject*)type)->ht_cached_keys;
    generic = !keys || keys->dk_kind != DICT_KEYS_SPLIT;
  }
  /* What a class value is (plain value, descriptor, data descriptor)
   * belongs to the value's own class, whose changes leave this class's tag
   * as it is: only a value whose kind cannot change is remembered. */
  if (descr && kind_can_change(descr)) generic = 1;
  if (!PyType_HasFeature(type, Py_TPFLAGS_VALID_VERSION_TAG)) return NULL;
  /* What makes a lookup generic is fixed while the class's tag holds
   * (assigning `__getattr__` or `__setattr__` changes the tag), so the
   * answer "generic" is kept too. */
  Entry* e = slot_of(type->tp_version_tag, name, where);
  e->tag = type->tp_version_tag;
  e->where = (unsigned char)where;
  Py_INCREF(name);
  Py_XSETREF(e->name, name);
  if (generic) {
    e->found = FOUND_GENERIC;
    e->descr = NULL;
    e->index = -1;
    e->entries = 0;
    return e;
  }
  e->index = (short)(keys ? key_index(keys, name) : -1);
  e->entries = keys ? (int)keys->dk_nentries : 0;
  classify(e, descr);
  /* A store meets any descriptor with __set__, even one without __get__. */
  if (where == STORE && descr && Py_TYPE(descr)->tp_descr_set) e->found = FOUND_DATA;
  if (where == ON_CLASS && e->found == FOUND_METHOD && !binds_like_function(descr)) {
    e->found = FOUND_GENERIC;
  }
  return e;
}

static inline Entry* entry_of(PyObject* obj, PyObject* name, int where) {
  PyTypeObject* type = where == ON_CLASS ? (PyTypeObject*)obj : Py_TYPE(obj);
  if (__builtin_expect(!PyType_HasFeature(type, Py_TPFLAGS_VALID_VERSION_TAG), 0)) {
    return fill(obj, name, where);
  }
  Entry* e = slot_of(type->tp_version_tag, name, where);
  if (__builtin_expect(e->tag == type->tp_version_tag && e->name == name && e->where == where, 1)) {
    return e;
  }
  return fill(obj, name, where);
}

static inline int where_of(PyObject* obj) {
  return Py_IS_TYPE(obj, &PyType_Type) ? ON_CLASS : ON_INSTANCE;
}

static inline PyDictKeysObject* keys_of(PyObject* obj) {
  return ((PyHeapTypeObject*)Py_TYPE(obj))->ht_cached_keys;
}

/* The instance's own value of the entry's name: a new reference, NULL
 * when the instance has none, or `unknown` set when the cache
 * cannot tell (the caller goes the generic way). */
static inline PyObject* own_value(PyObject* obj, Entry* e, int* unknown) {
  PyDictKeysObject* keys = keys_of(obj);
  PyObject** slots = slots_of(obj, keys);
  if (!slots) {
    *unknown = 1;
    return NULL;
  }
  if (e->index >= 0) return Py_XNewRef(slots[e->index]);
  /* Shared keys only grow; the same count means the name is still absent. */
  if (keys->dk_nentries != e->entries) *unknown = 1;
  return NULL;
}

PyObject* lookup_cache_getattr(PyObject* obj, PyObject* name) {
  const int where = where_of(obj);
  Entry* e = entry_of(obj, name, where);
  if (!e || e->found == FOUND_GENERIC) return PyObject_GetAttr(obj, name);
  PyTypeObject* type = Py_TYPE(obj);
  if (where == ON_CLASS) {
    if (e->found == FOUND_VALUE) return Py_NewRef(e->descr);
    /* A function read from its class is itself. */
    if (e->found == FOUND_METHOD) return Py_NewRef(e->descr);
    return PyObject_GetAttr(obj, name);
  }
  if (e->found == FOUND_DATA) {
    PyObject* descr = Py_NewRef(e->descr);
    PyObject* result = Py_TYPE(descr)->tp_descr_get(descr, obj, (PyObject*)type);
    Py_DECREF(descr);
    return result;
  }
  int unknown = 0;
  PyObject* own = own_value(obj, e, &unknown);
  if (own) return own;
  if (unknown) return PyObject_GetAttr(obj, name);
  switch (e->found) {
    case FOUND_VALUE:
      return Py_NewRef(e->descr);
    case FOUND_METHOD:
    case FOUND_CLASSMETHOD:
    case FOUND_DESCRIPTOR: {
      PyObject* descr = Py_NewRef(e->descr);
      PyObject* result = Py_TYPE(descr)->tp_descr_get(descr, obj, (PyObject*)type);
      Py_DECREF(descr);
      return result;
    }
    default:
      return PyObject_GetAttr(obj, name);
  }
}

/* Calls `function(cls, *args[1:])`, putting the class where the object was.
 * Both are held for the call's length, as a bound method holds them: the
 * call may give the object another class and let the old one go. */
static PyObject* call_with_class(PyObject* function, PyObject* cls, PyObject* const* args,
                                 size_t nargsf) {
  const Py_ssize_t nargs = PyVectorcall_NARGS(nargsf);
  Py_INCREF(function);
  Py_INCREF(cls);
  PyObject* result;
  if (nargsf & PY_VECTORCALL_ARGUMENTS_OFFSET) {
    /* The caller lets the object's slot change for the call's length. */
    PyObject** writable = (PyObject**)args;
    PyObject* obj = writable[0];
    writable[0] = cls;
    result = call_function(function, args, (size_t)nargs);
    writable[0] = obj;
  } else {
    PyObject* small[8];
    PyObject** copy = nargs <= 8 ? small : PyMem_Malloc((size_t)nargs * sizeof(PyObject*));
    if (!copy) {
      Py_DECREF(cls);
      Py_DECREF(function);
      return PyErr_NoMemory();
    }
    copy[0] = cls;
    for (Py_ssize_t i = 1; i < nargs; ++i) copy[i] = args[i];
    result = call_function(function, copy, (size_t)nargs);
    if (copy != small) PyMem_Free(copy);
  }
  Py_DECREF(cls);
  Py_DECREF(function);
  return result;
}

PyObject* lookup_cache_call_method(PyObject* name, PyObject* const* args, size_t nargsf) {
  PyObject* obj = args[0];
  const int where = where_of(obj);
  Entry* e = entry_of(obj, name, where);
  if (!e) return PyObject_VectorcallMethod(name, args, nargsf, NULL);
  if (where == ON_CLASS) {
    if (e->found == FOUND_CLASSMETHOD) {
      PyObject* function = classmethod_function(e->descr);
      if (binds_like_function(function)) return call_with_class(function, obj, args, nargsf);
      return PyObject_VectorcallMethod(name, args, nargsf, NULL);
    }
    if (e->found == FOUND_METHOD) {
      /* `Cls.f(a)` calls the function itself with the arguments after the
       * class; the class's slot is the one the callee may borrow. */
      PyObject* descr = Py_NewRef(e->descr);
      size_t rest = (size_t)(PyVectorcall_NARGS(nargsf) - 1) |
                    (nargsf & PY_VECTORCALL_ARGUMENTS_OFFSET);
      PyObject* result = call_function(descr, args + 1, rest);
      Py_DECREF(descr);
      return result;
    }
    return PyObject_VectorcallMethod(name, args, nargsf, NULL);
  }
  if (e->found != FOUND_METHOD && e->found != FOUND_CLASSMETHOD) {
    return PyObject_VectorcallMethod(name, args, nargsf, NULL);
  }
  int unknown = 0;
  PyObject* own = own_value(obj, e, &unknown);
  if (own || unknown) {
    Py_XDECREF(own);
    return PyObject_VectorcallMethod(name, args, nargsf, NULL);
  }
  if (e->found == FOUND_CLASSMETHOD) {
    PyObject* function = classmethod_function(e->descr);
    if (binds_like_function(function)) {
      return call_with_class(function, (PyObject*)Py_TYPE(obj), args, nargsf);
    }
    return PyObject_VectorcallMethod(name, args, nargsf, NULL);
  }
  /* The object is the first argument; there is no spare slot before it. */
  PyObject* descr = Py_NewRef(e->descr);
  PyObject* result = call_function(descr, args, nargsf & ~PY_VECTORCALL_ARGUMENTS_OFFSET);
  Py_DECREF(descr);
  return result;
}

int lookup_cache_setattr(PyObject* obj, PyObject* name, PyObject* value) {
  if (!value || Py_IS_TYPE(obj, &PyType_Type)) return PyObject_SetAttr(obj, name, value);
  Entry* e = entry_of(obj, name, STORE);
  /* Only a store into the instance's own value array, where the class has
   * no data descriptor of the name and the name has its shared slot. */
  if (!e || e->found == FOUND_GENERIC || e->found == FOUND_DATA) {
    return PyObject_SetAttr(obj, name, value);
  }
  if (e->index < 0 && keys_of(obj)->dk_nentries != e->entries) {
    e = fill(obj, name, STORE);  /* the name may have joined the shared keys */
  }
  if (!e || e->index < 0 || e->found == FOUND_GENERIC || e->found == FOUND_DATA) {
    return PyObject_SetAttr(obj, name, value);
  }
  PyDictValues* values = *_PyObject_ValuesPointer(obj);
  if (!values) return PyObject_SetAttr(obj, name, value);
  PyObject* old = values->values[e->index];
  values->values[e->index] = Py_NewRef(value);
  if (old) {
    Py_DECREF(old);
  } else {
    _PyDictValues_AddToInsertionOrder(values, e->index);
  }
  return 0;
}

/* Checks on a class made here that the slots read by the cache hold what
 * the generic lookup gives, before and after `__dict__` is made. */
static int layout_agrees(void) {
  int agrees = 0;
  PyObject* cls = PyObject_CallFunction((PyObject*)&PyType_Type, "s(O){}", "layout_probe",
                                        (PyObject*)&PyBaseObject_Type);
  if (!cls) return -1;
  PyObject* obj = PyObject_CallNoArgs(cls);
  PyObject* alpha = PyUnicode_InternFromString("alpha");
  PyObject* beta = PyUnicode_InternFromString("beta");
  PyObject* value = PyLong_FromLong(12345);
  PyObject* other = NULL;
  PyObject* other_dict = NULL;
  PyObject* method = NULL;
  if (!obj || !alpha || !beta || !value) goto done;
  if (PyObject_SetAttr(obj, alpha, Py_None) < 0 || PyObject_SetAttr(obj, beta, value) < 0) {
    goto done;
  }
  PyTypeObject* type = (PyTypeObject*)cls;
  if (!PyType_HasFeature(type, Py_TPFLAGS_MANAGED_DICT)) goto done;
  /* A class method keeps its function first. */
  method = PyClassMethod_New(cls);
  if (!method || classmethod_function(method) != cls) goto done;
  PyDictKeysObject* keys = ((PyHeapTypeObject*)type)->ht_cached_keys;
  if (!keys || keys->dk_kind != DICT_KEYS_SPLIT) goto done;
  Py_ssize_t index = key_index(keys, beta);
  if (index < 0 || key_index(keys, alpha) < 0) goto done;
  PyObject** slots = slots_of(obj, keys);
  if (!slots || slots[index] != value) goto done;
  /* A second instance stores its names in the other order through the
   * cache; the generic view of it must show that order. */
  other = PyObject_CallNoArgs(cls);
  if (!other) goto done;
  enabled = 1;
  if (lookup_cache_setattr(other, beta, value) < 0 || lookup_cache_setattr(other, alpha, value) < 0) {
    enabled = 0;
    goto done;
  }
  enabled = 0;
  other_dict = PyObject_GenericGetDict(other, NULL);
  if (!other_dict) goto done;
  if (PyDict_GET_SIZE(other_dict) != 2) goto done;
  {
    Py_ssize_t position = 0;
    PyObject* key;
    PyObject* item;
    if (!PyDict_Next(other_dict, &position, &key, &item) || key != beta || item != value) goto done;
    if (!PyDict_Next(other_dict, &position, &key, &item) || key != alpha || item != value) goto done;
  }
  PyObject* dict = PyObject_GenericGetDict(obj, NULL);
  if (!dict) goto done;
  Py_DECREF(dict);
  slots = slots_of(obj, keys);
  if (!slots || slots[index] != value) goto done;
  agrees = 1;
done:
  Py_XDECREF(method);
  Py_XDECREF(other_dict);
  Py_XDECREF(other);
  Py_XDECREF(value);
  Py_XDECREF(beta);
  Py_XDECREF(alpha);
  Py_XDECREF(obj);
  Py_DECREF(cls);
  if (PyErr_Occurred()) return -1;
  return agrees;
}

/* Checks on a class made here the host's rules that the cache relies on
 * and the layout check does not show: a store to the class moves its
 * version tag; a data descriptor of the class wins over an instance value
 * of the same name; the class's shared keys stay the same object however
 * many names its instances add. */
static int host_rules_hold(void) {
  int holds = 0;
  PyObject* gamma = PyUnicode_InternFromString("gamma");
  /* `gamma` reads as the instance's class. */
  PyObject* descriptor = PyObject_CallOneArg((PyObject*)&PyProperty_Type, (PyObject*)&PyType_Type);
  PyObject* cls = gamma && descriptor
                      ? PyObject_CallFunction((PyObject*)&PyType_Type, "s(O){OO}", "rules_probe",
                                              (PyObject*)&PyBaseObject_Type, gamma, descriptor)
                      : NULL;
  PyObject* obj = cls ? PyObject_CallNoArgs(cls) : NULL;
  PyObject* dict = obj ? PyObject_GenericGetDict(obj, NULL) : NULL;
  PyObject* read = NULL;
  PyObject* cached = NULL;
  PyObject* other = NULL;
  if (!dict) goto done;
  PyTypeObject* type = (PyTypeObject*)cls;
  PyDictKeysObject* keys = ((PyHeapTypeObject*)type)->ht_cached_keys;
  if (!_PyType_Lookup(type, gamma) || !PyType_HasFeature(type, Py_TPFLAGS_VALID_VERSION_TAG)) {
    goto done;
  }
  const unsigned int tag = type->tp_version_tag;
  if (PyObject_SetAttrString(cls, "delta", Py_None) < 0) goto done;
  _PyType_Lookup(type, gamma);
  if (PyType_HasFeature(type, Py_TPFLAGS_VALID_VERSION_TAG) && type->tp_version_tag == tag) {
    goto done;
  }
  if (PyDict_SetItem(dict, gamma, Py_None) < 0) goto done;
  read = PyObject_GetAttr(obj, gamma);
  if (read != cls) goto done;
  enabled = 1;
  cached = lookup_cache_getattr(obj, gamma);
  enabled = 0;
  if (cached != cls) goto done;
  /* More names than shared keys take, on an instance without a dict. */
  other = PyObject_CallNoArgs(cls);
  if (!other) goto done;
  for (int i = 0; i < 64; ++i) {
    PyObject* name = PyUnicode_FromFormat("name_%d", i);
    int stored = name ? PyObject_SetAttr(other, name, Py_None) : -1;
    Py_XDECREF(name);
    if (stored < 0) goto done;
  }
  holds = ((PyHeapTypeObject*)type)->ht_cached_keys == keys;
done:
  Py_XDECREF(other);
  Py_XDECREF(cached);
  Py_XDECREF(read);
  Py_XDECREF(dict);
  Py_XDECREF(obj);
  Py_XDECREF(cls);
  Py_XDECREF(descriptor);
  Py_XDECREF(gamma);
  if (PyErr_Occurred()) return -1;
  return holds;
}

int lookup_cache_start(PyTypeObject* function_type, lookup_cache_direct_call direct_call) {
  if (function_type) own_function_type = function_type;
  if (direct_call) own_call = direct_call;
  const int wanted = cache_wanted();
  if (wanted < 0) return -1;
  if (enabled || !wanted) return 0;
  /* The layout read is the one of the minor version built for. */
  if ((Py_Version >> 16) != (PY_VERSION_HEX >> 16)) return 0;
  int agrees = layout_agrees();
  if (agrees > 0) agrees = host_rules_hold();
  if (agrees < 0) return -1;
  enabled = agrees;
  return 0;
}

#endif
