// The page's side of the native "AudioPlayer": loads a call's recording with
// the current effect and zoom query items and mirrors the player's
// properties onto the bus as "player" events.

// Query items the player and the waveform read. The "timestamp" item comes
// first because the player never reads the first item, and it keeps the
// waveform image from being taken from the cache.
export function effectQuery(effects, zoom, tempo) {
  const items = [["timestamp", String(Date.now())]];
  if (effects.notch) {
    items.push(["notchfrequency", String(Math.round(effects.notchFrequency))]);
    items.push(["qfactor", effects.qFactor ? String(effects.qFactor) : ""]);
  }
  if (effects.amplify && effects.amplifyRatio !== 1) items.push(["amplifyratio", String(effects.amplifyRatio)]);
  if (effects.balance) items.push(["balance", String(Math.round(effects.balance))]);
  if (zoom) {
    items.push(["zoomstart", String(Math.floor(zoom.start))]);
    items.push(["zoomend", String(Math.floor(zoom.end))]);
  }
  if (tempo && tempo !== 1) items.push(["tempo", String(tempo)]);
  return "?" + items.map(([k, v]) => `${k}=${encodeURIComponent(v)}`).join("&");
}

export class Player {
  constructor(bus) {
    this.bus = bus;
    this.native = null;
    this.loadedKey = null;
    this.callId = null;
    this.pendingSeek = null;
    this.wantMuted = false;
    this.state = { available: false, loaded: false, paused: true, muted: false, position: 0, duration: 0,
      tempoSupported: false, tempo: 1, loop: false };
  }

  attach(native) {
    this.native = native;
    this.state.available = true;
    const p = native;
    p.durationChanged.connect(() => this.update({ duration: Number(p.nDuration) || 0 }));
    p.whilePlayingJs.connect(() => this.update({ position: Number(p.nPosition) || 0 }));
    p.mutedChanged.connect(() => this.update({ muted: !!p.bMuted }));
    p.pausedChanged.connect(() => this.update({ paused: !!p.bPaused }));
    p.onLoadJs.connect(() => {
      this.update({ loaded: true });
      // Every load starts unmuted; keep the reviewer's choice. (The cached
      // bMuted may still be the old value here: the channel sends property
      // changes in batches, but this signal at once.)
      if (this.wantMuted) p.mute();
      // A speed chosen while the recording was loading went nowhere yet.
      if (this.state.tempoSupported && this.state.tempo !== this.loadTempo) p.setTempo(this.state.tempo);
      if (this.pendingSeek !== null) {
        const target = this.pendingSeek;
        this.pendingSeek = null;
        this.seek(target);
      }
      if (this.startPaused) {
        this.startPaused = false;
        p.pause();
      }
    });
    p.idleJs.connect(() => {
      this.loadedKey = null;
      this.update({ loaded: false, paused: true, position: 0 });
    });
    // Speed and loop, with a player that offers them.
    if (typeof p.setTempo === "function" && typeof p.setLoop === "function") {
      if (p.tempoChanged) p.tempoChanged.connect(() => this.update({ tempo: Number(p.fTempo) || 1 }));
      if (p.loopChanged) p.loopChanged.connect(() => this.update({ loop: !!p.bLoop }));
      this.state.tempoSupported = true;
      this.state.loop = !!p.bLoop;
    }
    this.update({ muted: !!p.bMuted, paused: true });
  }

  // The speed goes with every load as well, as the "tempo" query item.
  setTempo(value) {
    if (!this.state.tempoSupported) return;
    this.update({ tempo: value });
    if (this.state.loaded) this.native.setTempo(value);
  }

  toggleLoop() {
    if (!this.state.tempoSupported) return;
    this.native.setLoop(!this.state.loop);
  }

  update(change) {
    Object.assign(this.state, change);
    this.bus.emit("player", this.state);
  }

  // Loads and starts the recording unless the same one (same query items
  // apart from the timestamp) is already loaded; startAt is relative to the
  // zoom segment like every position of the player.
  load(path, query, callId, startAt, startPaused) {
    if (!this.native) return;
    query = query.replace(/&tempo=[^&]*/, "");
    if (this.state.tempoSupported && this.state.tempo !== 1) query += "&tempo=" + this.state.tempo;
    this.loadTempo = this.state.tempo;
    this.startPaused = !!startPaused;
    this.loadedKey = path + query.replace(/^\?timestamp=\d+&?/, "?");
    this.callId = String(callId);
    this.pendingSeek = startAt > 0 ? startAt : null;
    this.update({ loaded: false, position: startAt > 0 ? startAt : 0 });
    this.native.unload();
    this.native.loadFromPackage(path + query, this.callId);
  }

  isLoaded(path, query) {
    query = query.replace(/&tempo=[^&]*/, "");
    if (this.state.tempoSupported && this.state.tempo !== 1) query += "&tempo=" + this.state.tempo;
    return this.state.loaded && this.loadedKey === path + query.replace(/^\?timestamp=\d+&?/, "?");
  }

  unload() {
    if (!this.native) return;
    this.loadedKey = null;
    this.pendingSeek = null;
    this.native.unload();
    this.update({ loaded: false, paused: true, position: 0 });
  }

  // Asks for what the page shows rather than toggling: an output that ran
  // dry for a moment would take a toggle as "resume".
  togglePause() {
    if (!this.native || !this.state.loaded) return;
    if (this.state.paused) this.native.resume();
    else this.native.pause();
  }
  pause() {
    if (!this.native) return;
    // A recording still loading is paused as soon as it has loaded (closing
    // the call meanwhile left it playing unseen).
    if (!this.state.loaded) {
      if (this.loadedKey) this.startPaused = true;
      return;
    }
    if (!this.state.paused) this.native.pause();
  }
  stop() {
    if (!this.native || !this.state.loaded) return;
    this.native.stop();
    this.update({ position: 0 });
  }
  // The page keeps the reviewer's choice itself: the player's own state is
  // reset by every load.
  toggleMute() {
    if (!this.native) return;
    this.wantMuted = !this.wantMuted;
    if (this.wantMuted) this.native.mute();
    else this.native.unmute();
  }

  seek(ms) {
    if (!this.native) return;
    const target = Math.max(0, Math.round(this.state.duration ? Math.min(ms, this.state.duration) : ms));
    this.native.seek(target);
    this.update({ position: target });
  }

  download(recordingPath) { if (this.native) this.native.downloadFromPackage(recordingPath); }
  savePassage(pathAndQuery) { if (this.native && this.native.savePassage) this.native.savePassage(pathAndQuery); }
  downloadFile(path) {
    if (!this.native) return;
    if (/\.pcap$/i.test(path)) this.native.downloadPcap(path);
    else this.native.downloadDataFile(path);
  }
}
