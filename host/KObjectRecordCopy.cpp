// Copying one record of an object file from a reader to a writer (convert,
// and the rewrites that keep every record but the ones they replace).
#include "host/KObjectFileCommands.h"
#include "platform/KExceptions.h"

void KCopyObjectRecord(const KImplPersistance& in, const FObjectFileRecord& head, KPersistance& out) {
  const long n = head.m_count;
  switch (head.m_tag) {
    case 'O': out.beginObject(head.m_type, head.m_name); break;
    case 'E': out.endObject(); break;
    case 'I': out.writeI64(head.m_name, n, in.intValues()); break;
    case 'U': out.writeU64(head.m_name, n, in.uintValues()); break;
    case 'L': out.writeL64(head.m_name, n, in.uintValues()); break;
    case 'R': out.writeR(head.m_name, n, in.realValues()); break;
    case 'B': out.writeB(head.m_name, n, in.boolValues()); break;
    case 'C': out.writeC(head.m_name, n, in.charValues().GetString()); break;
    case 'S': out.writeS(head.m_name, n, in.stringValues()); break;
    default: AfxThrowFileException(CFileException::genericException, -1, nullptr);
  }
}
