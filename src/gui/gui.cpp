namespace vaultra::gui {}
