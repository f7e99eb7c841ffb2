#include "VelSemanticAnalysisScene.h"

#include "util/VelServiceConfig.h"

QString VelSemanticAnalysisScene::requestURL() const
{
    return VelServiceConfig::current().semanticBaseUrl + QStringLiteral("/dbzy/saapi");
}
