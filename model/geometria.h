// The geometry as a plain array of elements: what the geometry file holds,
// element by element. The compiled file is decoded into it, and the runs the
// line reader lays are expanded into it for checks and pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace modello {

// One element of the geometry: empty, a 16-bit integer or a double.
struct valore_geometria {
    enum class tipo : std::uint8_t { vuoto = 0, intero = 2, reale = 5 };
    tipo etichetta = tipo::vuoto;
    std::int16_t intero = 0;
    double reale = 0.0;

    static valore_geometria da_intero(std::int16_t v) { return {tipo::intero, v, 0.0}; }
    static valore_geometria da_reale(double v) { return {tipo::reale, 0, v}; }
    bool vuoto() const { return etichetta == tipo::vuoto; }
    // The value as a number whatever its kind (empty reads 0).
    double numero() const {
        return etichetta == tipo::reale ? reale : static_cast<double>(intero);
    }
};

// Plan-view track: component 0 and 1 for every metre 0..ultimo, element by
// element in the order of the geometry file (all metres of component 0, then
// all of component 1). Each element keeps its kind in one byte and its value
// as a double (a 16-bit integer is exact there), 9 bytes an element instead
// of a padded tagged struct.
class geometria_linea {
public:
    explicit geometria_linea(std::int32_t ultimo)
        : ultimo_(ultimo),
          etichette_(2 * (static_cast<std::size_t>(ultimo) + 1), static_cast<std::uint8_t>(valore_geometria::tipo::vuoto)),
          numeri_(etichette_.size(), 0.0) {}

    std::int32_t ultimo_metro() const { return ultimo_; }
    std::size_t elementi() const { return etichette_.size(); }

    valore_geometria at(std::int32_t metro, int componente) const { return elemento(indice(metro, componente)); }
    void imposta(std::int32_t metro, int componente, const valore_geometria& v) {
        imposta_elemento(indice(metro, componente), v);
    }

    // Element i in file order.
    valore_geometria elemento(std::size_t i) const {
        const auto t = static_cast<valore_geometria::tipo>(etichette_[i]);
        if (t == valore_geometria::tipo::reale) return valore_geometria::da_reale(numeri_[i]);
        if (t == valore_geometria::tipo::intero) return valore_geometria::da_intero(static_cast<std::int16_t>(numeri_[i]));
        return {};
    }
    void imposta_elemento(std::size_t i, const valore_geometria& v) {
        etichette_[i] = static_cast<std::uint8_t>(v.etichetta);
        numeri_[i] = v.vuoto() ? 0.0 : v.numero();
    }

private:
    std::size_t indice(std::int32_t metro, int componente) const {
        return static_cast<std::size_t>(componente) * (static_cast<std::size_t>(ultimo_) + 1) +
               static_cast<std::size_t>(metro);
    }

    std::int32_t ultimo_;
    std::vector<std::uint8_t> etichette_;
    std::vector<double> numeri_;
};

}  // namespace modello
