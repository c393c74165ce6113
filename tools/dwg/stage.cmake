# Puts the DWG converter (its scripts and, where tools/install-deps.sh installed it,
# LibreDWG's package) into a folder: run at every build, copying only what changed.
#   cmake -DSOURCE=tools/dwg -DDESTINATION=stage/lib/orvcad/dwg -P stage.cmake
file(MAKE_DIRECTORY ${DESTINATION})
file(COPY ${SOURCE}/dwg2dxf.mjs ${SOURCE}/model_dxf.mjs ${SOURCE}/package.json DESTINATION ${DESTINATION})
set(package ${SOURCE}/node_modules/@mlightcad/libredwg-web)
if(EXISTS ${package}/package.json)
  file(COPY ${package} DESTINATION ${DESTINATION}/node_modules/@mlightcad)
endif()
