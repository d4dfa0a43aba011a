#include "engine/render/visual_effects/effect_manager.h"

#include <exception>
#include <fstream>

#include "engine/core/log.h"
#include "engine/core/strings.h"
#include "engine/render/log_lines.h"
#include "engine/render/visual_effects/effect_list.h"

namespace kesh {

EffectManager* theEffectManager = nullptr;

effect::EffectHandle createEffect(const std::string& name) {
    return theEffectManager ? theEffectManager->createEffect(name) : effect::EffectHandle();
}

EffectManager::EffectManager(DxDevice* device, QuadBatcher* batcher)
    : context(std::make_unique<EffectContext>(device, batcher)),
      library(std::make_unique<EffectLibrary>()),
      instances(std::make_unique<EffectInstances>(context.get(), library.get())) {}

EffectManager::~EffectManager() = default;

effect::EffectHandle EffectManager::createEffect(const std::string& name) {
    return instances->create(name);
}

void EffectManager::render(const CameraView& camera, std::uint32_t layer, std::uint32_t passMask) {
    context->beginFrame(camera);
    instances->render(layer, passMask);
    writeLine(boost::log::logScreen(), "Effects: ", instances->size(),
              "; vis. component: ", context->totalVisible(), " - ",
              context->visibleOf(kPlainMeshComponent), " mesh, ",
              context->visibleOf(kBillboardComponent), " billboard");
}

void EffectManager::readEffectList(const std::wstring& directory, const std::wstring& listFile) {
    library->clear();
    try {
        writeLine(boost::log::logDebug(), "Reading `", toNarrow(listFile), "'");
        std::ifstream list;
        openTextFile(list, directory + listFile);
        readEffectListFrom(*library, directory, list);
    } catch (const std::exception& error) {
        writeLine(boost::log::logDebug(), "Failed to load config '", toNarrow(listFile),
                  "': ", error.what());
    }
}

}  // namespace kesh
