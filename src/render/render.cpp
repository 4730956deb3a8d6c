namespace vaultra::render {}
