#include "engine/records.h"

#include <functional>

namespace lexaro::engine {

std::function<bool()> g_allocationHook;

}  // namespace lexaro::engine

namespace {

template <typename T>
void CopyList(CList_Ex<T>& to, const CList_Ex<T>& from) {
  to.RemoveAll();
  for (auto* n = from.GetHead(); n; n = n->next) {
    if (!to.AddTail(n->value)) {
      to.SetError();
      return;
    }
  }
}

}  // namespace

LX_DATA_TABLE& LX_DATA_TABLE::operator=(const LX_DATA_TABLE& o) {
  if (this == &o) return *this;
  rows = o.rows;
  cols = o.cols;
  extent = o.extent;
  offset = o.offset;
  marginTop = o.marginTop;
  marginLeft = o.marginLeft;
  topLine = o.topLine;
  CopyList(colList, o.colList);
  CopyList(rowList, o.rowList);
  CopyList(cellList, o.cellList);
  endIdx = o.endIdx;
  return *this;
}
