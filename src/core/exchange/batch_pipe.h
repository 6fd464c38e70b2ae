#pragma once
// TuberiaLotes: the exports read the registry on the calling thread (its
// connection belongs to that thread) and write the file on a thread of
// their own. Items are handed over in batches; each thread owns what it
// makes until it hands it over whole, and at most a few batches wait, so the
// memory stays small whatever the size of the registry. A failure of the
// writing thread stops the reading one at its next batch.

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

template <typename T>
class TuberiaLotes {
public:
    // `escribir` runs on the writing thread, once per batch, in order.
    using Escribir = std::function<void(std::vector<T> &lote)>;

    TuberiaLotes(size_t tamLote, Escribir escribir)
        : tamLote_(tamLote), escribir_(std::move(escribir)), hilo_([this] { trabajar(); })
    {
        lote_.reserve(tamLote_);
    }
    // Abandons what was not written (a failure while reading).
    ~TuberiaLotes() { detener(true); }
    TuberiaLotes(const TuberiaLotes &) = delete;
    TuberiaLotes &operator=(const TuberiaLotes &) = delete;

    // Rethrows, on the reading thread, a failure of the writing one.
    void agregar(T &&item)
    {
        lote_.push_back(std::move(item));
        if (lote_.size() == tamLote_)
            enviar();
    }

    // Writes what is left and waits for it; rethrows a failure to write.
    void terminar()
    {
        if (!lote_.empty())
            enviar();
        detener(false);
        if (fallo_)
            std::rethrow_exception(fallo_);
    }

private:
    static constexpr size_t MaxEnEspera = 4;

    void enviar()
    {
        {
            std::unique_lock l(m_);
            hayLugar_.wait(l, [this] { return fallo_ || porEscribir_.size() < MaxEnEspera; });
            if (fallo_)
                std::rethrow_exception(fallo_);
            porEscribir_.push_back(std::move(lote_));
        }
        hayLote_.notify_one();
        lote_ = {};
        lote_.reserve(tamLote_);
    }

    void trabajar()
    {
        try {
            for (;;) {
                std::vector<T> lote;
                {
                    std::unique_lock l(m_);
                    hayLote_.wait(l, [this] { return cerrar_ || !porEscribir_.empty(); });
                    if (porEscribir_.empty() || abandonar_)
                        return;
                    lote = std::move(porEscribir_.front());
                    porEscribir_.pop_front();
                }
                hayLugar_.notify_one();
                escribir_(lote);
            }
        } catch (...) {
            {
                const std::lock_guard l(m_);
                fallo_ = std::current_exception();
            }
            hayLugar_.notify_all();
        }
    }

    // Ends the thread once it has written every batch, or at once when the
    // export is abandoned.
    void detener(bool abandonar)
    {
        {
            const std::lock_guard l(m_);
            cerrar_ = true;
            abandonar_ = abandonar_ || abandonar;
        }
        hayLote_.notify_all();
        if (hilo_.joinable())
            hilo_.join();
    }

    const size_t tamLote_;
    Escribir escribir_;
    std::vector<T> lote_;
    std::mutex m_;
    std::condition_variable hayLote_;
    std::condition_variable hayLugar_;
    std::deque<std::vector<T>> porEscribir_;
    bool cerrar_ = false;
    bool abandonar_ = false;
    std::exception_ptr fallo_;
    std::thread hilo_;  // last: it starts once the members above exist
};
