// The renderer library that orvcad loads on its first picture.
#include "orv/render/pictures.h"

namespace {

orv::render::RenderResult renderPicture(const orv::db::Database& db,
                                        const std::filesystem::path& out,
                                        const orv::render::RenderOptions& options) {
  return orv::render::render(db, out, options);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const orv::render::Pictures* orvRendererPictures(
    int version) {
  static const orv::render::Pictures pictures{&renderPicture, &orv::render::storeBlockIcons,
                                              &orv::render::drawView, &orv::render::modelExtents,
                                              &orv::render::ViewTransform::fit, &orv::render::plot,
                                              &orv::render::drawEntities, &orv::render::plotPreview};
  return version == orv::render::kPicturesVersion ? &pictures : nullptr;
}
