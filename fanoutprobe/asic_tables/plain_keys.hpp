// Which keys the construction indexes may hold in a dict.
//
// A dict finds a key by its hash and then ==. A str or an int, or an
// object of a subclass that keeps their comparison and hash (its type's
// tp_richcompare and tp_hash are the base's: no __eq__, __ne__, __lt__ ...
// or __hash__ of its own; bool's are int's), hashes as the base value does
// and compares by value alone, so against any other such key the dict
// answers what == answers. Anything else (a class of its own comparison
// may say == of anything) must be compared as the walk compares it: records
// holding such a key are checked beside the index, questions asking one
// are answered by the walk.
//
// A Python class that defines one of those methods gets the host's slot
// wrapper in that slot, so comparing the slot pointers finds it; a class
// patched later gets the wrapper then, and is found at the next check.
#pragma once

#include <Python.h>

#include <vector>

namespace fanoutprobe {

// Whether `value` compares and hashes as str or int do.
inline bool compares_as_base(PyObject* value) {
  PyTypeObject* type = Py_TYPE(value);
  if (type == &PyUnicode_Type || type == &PyLong_Type) return true;
  PyTypeObject* base = PyUnicode_Check(value) ? &PyUnicode_Type
                       : PyLong_Check(value)  ? &PyLong_Type
                                              : nullptr;
  return base && type->tp_richcompare == base->tp_richcompare && type->tp_hash == base->tp_hash;
}

// Whether `key` (one value, or a pair made by the index) may be a dict key.
inline bool plain_key(PyObject* key) {
  if (!PyTuple_CheckExact(key)) return compares_as_base(key);
  for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(key); ++i)
    if (!compares_as_base(PyTuple_GET_ITEM(key, i))) return false;
  return true;
}

// The first of `others` (positions in ascending order) below `limit` for
// which `matches(position)` gives 1, in order: that position, -1 when none
// does, -2 when `matches` gives -1 (its error set). So a walk's questions
// to the records an index cannot hold are asked in the walk's order.
template <typename Matches>
Py_ssize_t first_other_below(const std::vector<Py_ssize_t>& others, Py_ssize_t limit, Matches matches) {
  for (Py_ssize_t position : others) {
    if (position >= limit) break;
    const int same = matches(position);
    if (same < 0) return -2;
    if (same) return position;
  }
  return -1;
}

}  // namespace fanoutprobe
