// acedEntSel: picking an entity of the current drawing by a point.
#include "acedads.h"

#include "db_impl.h"
#include "entity_pick.h"
#include "host_bindings.h"
#include "orv/prompt/engine.h"
#include "orv/text/encoding.h"

int acedEntSel(const ACHAR* prompt, ads_name entity, ads_point pickedPoint) {
  auto& b = orv::sdk::bound();
  AcDbDatabase* drawing = b.drawing;
  if (!b.prompts || !drawing || !entity) return RTERROR;
  std::string text = prompt ? orv::text::narrow(prompt) : "\n选择对象: ";
  orv::prompt::Point3 p;
  switch (b.prompts->getPickPoint(text, p)) {
    case orv::prompt::Status::Normal: break;
    case orv::prompt::Status::None: return RTNONE;
    case orv::prompt::Status::Cancel: return RTCAN;
    default: return RTERROR;
  }
  if (pickedPoint) {
    pickedPoint[X] = p.x;
    pickedPoint[Y] = p.y;
    pickedPoint[Z] = p.z;
  }
  const orv::db::ObjectId id = b.pick ? b.pick(p.x, p.y, b.pickDistance)
                                      : orv::sdk::pickEntity(orv::sdk::databaseOf(drawing), {p.x, p.y}, b.pickDistance);
  if (id.isNull()) return RTERROR;
  return acdbGetAdsName(entity, orv::sdk::entityId(drawing, id)) == Acad::eOk ? RTNORM : RTERROR;
}
